#include "conninfo.h"

#include <cctype>

namespace rekendo::classroom {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

Error Invalid(std::string why, std::string_view text) {
  return {
      ErrorCode::kInvalidInput,
      "接続先の書き方が正しくありません: " + std::move(why) +
          "\n「host=サーバー名 dbname=rekendo user=名前」か「service=名前」の形で書いてください。",
      {},
      std::string(text)};
}

std::string Quote(const std::string& value) {
  std::string quoted = "'";
  for (char c : value) {
    if (c == '\'' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '\'';
  return quoted;
}

}  // namespace

Result<ConnInfo> ConnInfo::Parse(std::string_view text) {
  ConnInfo info;
  std::size_t i = 0;
  const auto skip_space = [&] {
    while (i < text.size() && IsSpace(text[i])) ++i;
  };
  skip_space();
  if (i == text.size()) {
    return Error{ErrorCode::kInvalidInput,
                 "クラスのデータベースの接続先が指定されていません。\n"
                 "--db で指定するか、環境変数 REKENDO_CLASS に書いてください"
                 "（例: host=サーバー名 dbname=rekendo）。",
                 {},
                 {}};
  }
  if (text.substr(i).starts_with("postgresql://") || text.substr(i).starts_with("postgres://")) {
    return Invalid("postgresql:// で始まる URI の形は使えません。", text);
  }
  if (text.find(';') != std::string_view::npos) {
    return Invalid("「;」は使えません（Qt が空白に置き換えてしまいます）。", text);
  }
  while (true) {
    skip_space();
    if (i == text.size()) break;
    std::string key;
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '=') key += text[i++];
    skip_space();
    if (i == text.size() || text[i] != '=') {
      return Invalid("「" + key + "」の後に「=」がありません。", text);
    }
    ++i;  // '='
    skip_space();
    std::string value;
    if (i < text.size() && text[i] == '\'') {
      ++i;
      bool closed = false;
      while (i < text.size()) {
        char c = text[i++];
        if (c == '\\' && i < text.size()) {
          value += text[i++];
        } else if (c == '\'') {
          closed = true;
          break;
        } else {
          value += c;
        }
      }
      if (!closed) return Invalid("「" + key + "」の値の引用符が閉じていません。", text);
    } else {
      while (i < text.size() && !IsSpace(text[i])) {
        char c = text[i++];
        if (c == '\\' && i < text.size()) c = text[i++];
        value += c;
      }
    }
    if (key.empty()) return Invalid("「=」の前に名前がありません。", text);
    info.Set(std::move(key), std::move(value));
  }
  return info;
}

std::string ConnInfo::Get(std::string_view key) const {
  for (const auto& [k, v] : pairs_) {
    if (k == key) return v;
  }
  return {};
}

bool ConnInfo::Has(std::string_view key) const {
  for (const auto& pair : pairs_) {
    if (pair.first == key) return true;
  }
  return false;
}

void ConnInfo::Set(std::string key, std::string value) {
  for (auto& pair : pairs_) {
    if (pair.first == key) {
      pair.second = std::move(value);
      return;
    }
  }
  pairs_.emplace_back(std::move(key), std::move(value));
}

void ConnInfo::SetDefault(std::string key, std::string value) {
  if (!Has(key)) pairs_.emplace_back(std::move(key), std::move(value));
}

ConnInfo ConnInfo::WithDefaults() const {
  ConnInfo info = *this;
  // A server that does not answer at all (a cable pulled, a laptop off the school network)
  // fails the connection after this many seconds instead of the system's two minutes.
  info.SetDefault("connect_timeout", "10");
  // A connection that goes silent mid-upload is given up after a minute (TCP only; a Unix
  // socket ignores them).
  info.SetDefault("keepalives", "1");
  info.SetDefault("keepalives_idle", "30");
  info.SetDefault("keepalives_interval", "10");
  info.SetDefault("keepalives_count", "3");
  info.SetDefault("tcp_user_timeout", "60000");
  info.SetDefault("application_name", "rekendo");
  return info;
}

std::string ConnInfo::ToConnectOptions() const {
  std::string options;
  for (const auto& [key, value] : pairs_) {
    if (!options.empty()) options += ' ';
    options += key + '=' + Quote(value);
  }
  return options;
}

std::string ConnInfo::Describe() const {
  std::string text;
  for (const auto& [key, value] : pairs_) {
    if (key == "password") continue;
    if (!text.empty()) text += ' ';
    text += key + '=' + value;
  }
  return text;
}

}  // namespace rekendo::classroom
