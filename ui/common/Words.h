// The lower layers' messages in the window's language. The records stores
// and the jobs write their messages in English, since records keep them
// and dtuctl prints them that way. The window shows the ones it knows in
// its own language: each is a pattern marked where it is made
// (DTU_TR_NOOP, its values %1 ... %9, as records/Messages.h and
// jobs/port/Messages.h hold them) and listed in Words.cpp. A text is
// matched against that list, its values taken out (those that are
// messages themselves shown in the window's language in turn), the
// pattern translated and filled again:
//
//   records store db.sqlite: cannot open the file (Permission denied)
//   记录存放处 db.sqlite：无法打开文件（权限不够）
//
// Messages joined by "; " are shown part by part; a text, or a part, that
// no pattern matches is shown as it is.
#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace ui {

QString Words(const std::string& english);

// A production test's measurement by its name in the window's language:
// "signal" as 信号.
QString MeasurementWord(std::string_view name);

// Each pattern Words() knows, as its context and English text, for the
// tests.
struct KnownWords {
    const char* context;
    const char* english;
};
std::vector<KnownWords> AllKnownWords();

}  // namespace ui
