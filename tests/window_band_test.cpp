// What the window tells and offers beyond the round: the status line, the band's buttons,
// Enter on command buttons, the focus frame, the fit to a small screen, Qt's texts in
// Japanese.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QTimer>
#include <QTranslator>

#include <set>

#include "keypad_layout.h"
#include "qt_translations.h"
#include "window_fixture.h"

namespace rekendo::testing {
namespace {

TEST(KeypadLook, EveryKeyNamedByWhatItTypesAndTabOrderZeroTo28) {
  std::set<int> tab_orders;
  std::set<QString> names;
  for (const KeyDef& key : kKeypad) {
    const KeyLook& look = LookOf(key);
    EXPECT_EQ(look.object_name, key.object_name);
    tab_orders.insert(look.tab_order);
    // A word a screen reader can say, not the glyph it would skip or spell oddly.
    const QString name = QString::fromUtf8(look.accessible_name.data(),
                                           static_cast<qsizetype>(look.accessible_name.size()));
    EXPECT_FALSE(name.isEmpty()) << key.object_name;
    EXPECT_TRUE(names.insert(name).second) << key.object_name;
    for (const QChar c : name) {
      EXPECT_FALSE((c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E) || c.unicode() == 0x221A)
          << key.object_name;
    }
  }
  EXPECT_EQ(tab_orders.size(), 29u);
  EXPECT_EQ(*tab_orders.rbegin(), 28);
}

QString Status(const MainWindow& form) {
  return form.findChild<QLabel*>(QStringLiteral("statusLine"))->text();
}

TEST_F(WindowTest, StatusLineNamesTheFileOrWhatToDoNext) {
  WriteStandardDataFiles();
  Open();
  EXPECT_EQ(Status(*form), QStringLiteral("問題選択 で問題ファイルを選んでください"));

  ChooseProblems("問一\r\n１\r\n問二\r\n２\r\n");
  EXPECT_EQ(Status(*form), QStringLiteral("問題ファイル「p.mon」（2 問）"));

  // A failed load during a round: said on the line, and the round's labels go on as before.
  Click("startButton");
  chosen_file = dir.Path("vanished.mon");
  Click("chooseFileButton");
  EXPECT_EQ(Status(*form),
            QStringLiteral("「vanished.mon」を読めませんでした（ファイルが見つかりません）。"
                           "問題選択 で選び直してください"));
  EXPECT_EQ(reported.size(), 1u);
  EXPECT_EQ(Text("questionNumber"), QStringLiteral("問題1"));
  EXPECT_TRUE(MainWindowPeer(*form).Timer().isActive());

  chosen_file.reset();
  Click("chooseFileButton");
  EXPECT_EQ(Status(*form),
            QStringLiteral("選択を取り消しました。問題ファイルは読み込まれていません"));

  // Loading by path goes the same way as 問題選択.
  form->LoadProblemFile(dir.Write("empty.mon", ""));
  EXPECT_TRUE(Status(*form).startsWith(QStringLiteral("「empty.mon」には問題がありません")));
  form->LoadProblemFile(dir.Write("one.mon", Sjis("問\r\n１\r\n")));
  EXPECT_EQ(Status(*form), QStringLiteral("問題ファイル「one.mon」（1 問）"));
  Click("startButton");
  EXPECT_EQ(Text("problemPanel"), QStringLiteral("問"));
}

TEST_F(WindowTest, StatusLineSaysWhenALoadedFileIsNoShiftJisProblemFile) {
  WriteStandardDataFiles();
  Open();
  // A picture plays as garbage, as the drill reads it; the line says it is no problem file.
  form->LoadProblemFile(dir.Write("picture.mon", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0", 18)));
  EXPECT_TRUE(Status(*form).contains(QStringLiteral("問題ファイルではないようです"))) << Status(*form).toStdString();
  // A UTF-8 file is read as the text it holds, and the line says so in a few words; its
  // right answer is judged right.
  form->LoadProblemFile(dir.Write("utf8.mon", "\xEF\xBB\xBFひらがなの問題\r\n２\r\nカタカナ\r\n２\r\n"));
  EXPECT_EQ(Status(*form), QStringLiteral("問題ファイル「utf8.mon」（2 問）　※UTF-8 のファイルとして読みました"));
  Click("startButton");
  EXPECT_TRUE(Text("problemPanel") == QStringLiteral("ひらがなの問題") ||
              Text("problemPanel") == QStringLiteral("カタカナ"))
      << Text("problemPanel").toStdString();
  Click("key2");
  Click("submitKey");
  EXPECT_EQ(Text("verdict"), QStringLiteral("正解"));
  std::string many;
  for (int i = 0; i < 1005; ++i) many += "q\r\n" + Sjis("１") + "\r\n";
  form->LoadProblemFile(dir.Write("many.mon", many));
  EXPECT_EQ(Status(*form), QStringLiteral("問題ファイル「many.mon」（1000 問）"
                                          "　※問題は 1000 問までです。あとの 5 組は読み込んでいません"));
  // A file as the drill expects it gets no warning.
  form->LoadProblemFile(dir.Write("sjis.mon", Sjis("ひらがなの問題\r\n１\r\n")));
  EXPECT_EQ(Status(*form), QStringLiteral("問題ファイル「sjis.mon」（1 問）"));
}

TEST_F(WindowTest, StatusLineTellsOfFilesTheDialogCannotList) {
  WriteStandardDataFiles();
  dir.Write("\x8a\x7c\x8e\x5a.mon", Sjis("問\r\n１\r\n"));  // 掛算.mon, named in Shift-JIS
  Open();
  form->SetFileChooser(nullptr);  // the real dialog, cancelled in that folder
  QFileDialog& dialog = MainWindowPeer(*form).FileDialog();
  QTimer::singleShot(0, &dialog, [&] {
    dialog.setDirectory(QString::fromStdString(dir.path().string()));
    dialog.reject();
  });
  Click("chooseFileButton");
  const QLabel* line = form->findChild<QLabel*>(QStringLiteral("statusLine"));
  EXPECT_EQ(
      line->text(),
      QStringLiteral("選択を取り消しました。問題ファイルは読み込まれていません"
                     "　名前が UTF-8 でないファイル 1 個は一覧に出ません（convmv で直せます）"));
  EXPECT_LE(line->heightForWidth(line->width()), line->height());  // nothing cut off
}

TEST_F(WindowTest, BandButtonsShowOnlyWithAnActionAndComeLastInTabOrder) {
  WriteStandardDataFiles();
  Open();
  EXPECT_FALSE(Button("recordButton")->isVisible());
  EXPECT_FALSE(Button("generateButton")->isVisible());
  int records = 0;
  form->SetBandAction(Command::kRecord, [&] { ++records; });
  form->SetBandAction(Command::kGenerate, [] {});
  ASSERT_TRUE(Button("recordButton")->isVisible());
  Click("recordButton");
  EXPECT_EQ(records, 1);

  Button("quitButton")->setFocus();
  QStringList order;
  for (int i = 0; i < 3; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    order << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(order, (QStringList{"recordButton", "generateButton", "key0"}));

  form->SetBandAction(Command::kRecord, nullptr);
  EXPECT_FALSE(Button("recordButton")->isVisible());
}

TEST_F(WindowTest, EnterAndReturnPressTheFocusedCommandButton) {
  WriteStandardDataFiles();
  Open();
  int generated = 0;
  form->SetBandAction(Command::kGenerate, [&] { ++generated; });
  chosen_file = dir.Write("p.mon", Sjis("問\r\n１\r\n"));
  const auto press = [&](const char* name, Qt::Key key) {
    Button(name)->setFocus();
    QTest::keyClick(Button(name), key);
  };
  press("chooseFileButton", Qt::Key_Return);
  EXPECT_EQ(form->drill().Bank().problem_count, 1);
  press("startButton", Qt::Key_Enter);
  EXPECT_EQ(Text("questionNumber"), QStringLiteral("問題1"));
  press("nextButton", Qt::Key_Return);
  EXPECT_EQ(Text("questionNumber"), QStringLiteral("問題2"));
  press("generateButton", Qt::Key_Enter);
  EXPECT_EQ(generated, 1);
  press("quitButton", Qt::Key_Return);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(WindowTest, FocusedKeyWearsAFrameOnAllFourSides) {
  WriteStandardDataFiles();
  Open();
  // The "ｌ" key is overlapped on three sides by its neighbours; Qt's own mark hid there.
  QPushButton* key = Button("keyL");
  const QRect r = key->geometry();
  const QList<QPoint> sides = {{r.center().x(), r.top() + 2},
                               {r.center().x(), r.bottom() - 2},
                               {r.left() + 2, r.center().y()},
                               {r.right() - 2, r.center().y()}};
  QImage image = form->grab().toImage();
  for (const QPoint& p : sides)
    EXPECT_NE(image.pixelColor(p), colour::kFocus) << p.x() << "," << p.y();

  key->setFocus();
  image = form->grab().toImage();
  for (const QPoint& p : sides)
    EXPECT_EQ(image.pixelColor(p), colour::kFocus) << p.x() << "," << p.y();
  // The caption is not covered: the middle keeps the button's own face.
  EXPECT_NE(image.pixelColor(r.left() + 8, r.top() + 8), colour::kFocus);
}

TEST_F(WindowTest, OnA1024x600ScreenEverythingShrinksByOneFactor) {
  WriteStandardDataFiles();
  const Scale scale = Scale::ToFit({1024, 600});
  form = std::make_unique<MainWindow>(scale);
  form->SetFileChooser([this] { return chosen_file; });
  form->show();
  ASSERT_NEAR(scale.factor, 600.0 / 768.0, 1e-9);
  EXPECT_EQ(form->frameGeometry().size(), QSize(800, 600));  // frame included

  // Each control stays where the table puts it, times the factor, within the rounding.
  const auto expect_scaled = [&](const char* name, QRect table) {
    const QWidget* widget = form->findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(widget, nullptr) << name;
    const QRect got = widget->geometry();
    EXPECT_TRUE(form->rect().contains(got)) << name;
    EXPECT_NEAR(got.x(), table.x() * scale.factor, 0.5) << name;
    EXPECT_NEAR(got.y(), table.y() * scale.factor, 0.5) << name;
    EXPECT_NEAR(got.right() + 1, (table.right() + 1) * scale.factor, 0.5) << name;
    EXPECT_NEAR(got.bottom() + 1, (table.bottom() + 1) * scale.factor, 0.5) << name;
  };
  for (const PanelDef& def : kPanels) {
    if (def.kind != PanelKind::Bar && def.object_name != "credit") {
      expect_scaled(def.object_name.data(), def.geometry);
    }
  }
  for (const KeyLook& key : kKeypadLook) {
    expect_scaled(key.object_name.data(), {key.left, key.top, key.width, key.height});
  }
  for (const CommandButtonDef& def : kCommandButtons)
    expect_scaled(def.object_name.data(), def.geometry);
  for (const BandRowDef& def : kBandRows) expect_scaled(def.object_name.data(), def.geometry);

  // The bar keeps the engine's proportions: a quarter of the frame after ten ticks, all of
  // it at the time-out, always standing on the frame's bottom.
  const QWidget* frame = form->findChild<QWidget*>(QStringLiteral("countdownFrame"));
  const QWidget* bar = form->findChild<QWidget*>(QStringLiteral("countdownBar"));
  chosen_file = dir.Write("p.mon", Sjis("問\r\n１\r\n"));
  Click("chooseFileButton");
  Click("startButton");
  Ticks(10);
  EXPECT_NEAR(bar->height(), 150 * scale.factor, 1.0);
  EXPECT_EQ(bar->geometry().bottom(), frame->geometry().bottom());
  Ticks(30);
  EXPECT_EQ(bar->geometry(), frame->geometry());
  EXPECT_EQ(Button("key0")->font().pixelSize(), 25);  // 32 px captions at 600 / 768
}

TEST_F(WindowTest, QtTextsAreJapaneseWithTheTranslationLoaded) {
  WriteStandardDataFiles();
  ASSERT_EQ(InstallJapaneseQtTexts(*QCoreApplication::instance()), std::nullopt);
  Open();
  QFileDialog& dialog = MainWindowPeer(*form).FileDialog();
  const auto* buttons = dialog.findChild<QDialogButtonBox*>();
  EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
  EXPECT_EQ(dialog.nameFilters().first(), QStringLiteral("問題ファイル (*.mon)"));
  for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
  }
}

}  // namespace
}  // namespace rekendo::testing
