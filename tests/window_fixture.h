// A real main window on the offscreen platform, with its data files in a scratch folder and the
// file dialog replaced by a path the test chooses.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "main_window.h"
#include "main_window_peer.h"
#include "sjis.h"
#include "temp_files.h"

namespace rekendo::testing {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_folder_ = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.path().string()));
  }
  void TearDown() override {
    form.reset();
    QDir::setCurrent(previous_folder_);
  }

  // Writes the two fixed data files (UTF-8 in, Shift-JIS on disk).
  void WriteDataFiles(const std::string& judgement, const std::string& trivia) {
    dir.Write("計算力判定文.han", Sjis(judgement));
    dir.Write("計算力雑学.zat", Sjis(trivia));
  }
  void WriteStandardDataFiles() {
    std::string judgement;
    for (int i = 0; i <= 10; ++i) judgement += "判定" + std::to_string(i) + "\r\n";
    WriteDataFiles(judgement, "");
  }

  // Creates, shows and activates the window; failures go to `reported`.
  void Open() {
    form = std::make_unique<MainWindow>();
    form->SetErrorReporter([this](std::string_view message) { reported.emplace_back(message); });
    form->SetFileChooser([this] { return chosen_file; });
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }

  void ChooseProblems(const std::string& utf8) {
    chosen_file = dir.Write("p.mon", Sjis(utf8));
    Click("chooseFileButton");
  }

  QPushButton* Button(const char* name) const {
    return form->findChild<QPushButton*>(QString::fromLatin1(name));
  }
  QLabel* LabelNamed(const char* name) const {
    return form->findChild<QLabel*>(QString::fromLatin1(name));
  }
  QString Text(const char* label) const { return LabelNamed(label)->text(); }
  void Click(const char* name) {
    QPushButton* button = Button(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) MainWindowPeer(*form).Tick();
  }

  TempDir dir;
  std::unique_ptr<MainWindow> form;
  std::optional<std::string> chosen_file;
  std::vector<std::string> reported;

 private:
  QString previous_folder_;
};

}  // namespace rekendo::testing
