// The drill's fixed texts, as the Shift-JIS (code page 932) bytes it shows and compares.
// Every literal is written byte by byte so that no source encoding can change it.
#pragma once

#include <string_view>

namespace rekendo::sjis {

inline constexpr std::string_view kQuestionPrefix = "\x96\xE2\x91\xE8";  // 問題
inline constexpr std::string_view kCorrect = "\x90\xB3\x89\xF0";         // 正解
inline constexpr std::string_view kWrong = "\x8C\xEB\x82\xE8";           // 誤り
inline constexpr std::string_view kPoints = "\x93\x5F";                  // 点
inline constexpr std::string_view kZeroPoints = "\x82\x4F\x93\x5F";      // ０点 (full-width zero)
inline constexpr std::string_view kOr = "\x20\x82\xDC\x82\xBD\x82\xCD\x20";  // " または "
inline constexpr std::string_view kAnswerIs = "\x93\x9A\x82\xA6\x82\xCD";    // 答えは
// おわり / メッセージ / (blank line)
inline constexpr std::string_view kFinalHeading =
    "\x82\xA8\x82\xED\x82\xE8\x0D\x0A\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57\x0D\x0A\x0D\x0A";
inline constexpr std::string_view kLineBreak = "\x0D\x0A";
inline constexpr std::string_view kFullWidthColon = "\x81\x46";  // ：

// Labels of multiple-choice lines: the full-width digits ０ to ９.
inline constexpr std::string_view kDigits[10] = {
    "\x82\x4F", "\x82\x50", "\x82\x51", "\x82\x52", "\x82\x53",
    "\x82\x54", "\x82\x55", "\x82\x56", "\x82\x57", "\x82\x58",
};

// Messages of failed file operations.
inline constexpr std::string_view kFileNotFound =  // ファイルが見つかりません
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82"
    "\xF1";
inline constexpr std::string_view kBadFileName =  // 不正なファイル名です
    "\x95\x73\x90\xB3\x82\xC8\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC\x82\xC5\x82\xB7";
inline constexpr std::string_view kTooManyOpenFiles =  // オープンしたファイルが多すぎます
    "\x83\x49\x81\x5B\x83\x76\x83\x93\x82\xB5\x82\xBD\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x91"
    "\xBD\x82\xB7\x82\xAC\x82\xDC\x82\xB7";
inline constexpr std::string_view kAccessDenied =  // ファイルへのアクセスが拒否されました
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xD6\x82\xCC\x83\x41\x83\x4E\x83\x5A\x83\x58\x82\xAA\x8B"
    "\x91\x94\xDB\x82\xB3\x82\xEA\x82\xDC\x82\xB5\x82\xBD";
inline constexpr std::string_view kReadPastEnd =  // ファイルの末尾以降を読み込みました
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x96\x96\x94\xF6\x88\xC8\x8D\x7E\x82\xF0\x93\xC7\x82"
    "\xDD\x8D\x9E\x82\xDD\x82\xDC\x82\xB5\x82\xBD";
inline constexpr std::string_view kDiskFull =  // ディスクがいっぱいです
    "\x83\x66\x83\x42\x83\x58\x83\x4E\x82\xAA\x82\xA2\x82\xC1\x82\xCF\x82\xA2\x82\xC5\x82\xB7";
inline constexpr std::string_view kNotANumber =  // 入力値が数値ではありません
    "\x93\xFC\x97\xCD\x92\x6C\x82\xAA\x90\x94\x92\x6C\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82"
    "\xB9\x82\xF1";
inline constexpr std::string_view kIoErrorPrefix =
    "\x49\x2F\x4F\x20\x83\x47\x83\x89\x81\x5B\x20\x28";  // "I/O エラー ("

}  // namespace rekendo::sjis
