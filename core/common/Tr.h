// Texts the core builds for people. The command line prints them as they are
// written, in English; the window installs a translator and shows them in
// its language. Each text is marked where it is written, so that lupdate
// finds it (translations/CMakeLists.txt makes both macros its aliases of
// QT_TRANSLATE_NOOP):
//
//   Fill(DTU_TR("serial", "%1 is not a serial device."), {path})
//   const char* kText = DTU_TR_NOOP("dtu::msg", "...");  translated where shown
//
// Texts with values take them as %1 ... %9, as Qt's arg() does, so that a
// translation may put them in another order; a translation keeps the
// placeholders (and the printf conversions of older texts) of its source,
// which the tests check.
#pragma once

#include <initializer_list>
#include <string>

#define DTU_TR_NOOP(context, source) source
#define DTU_TR(context, source) ::text::Translate(context, source)

namespace text {

// Returns the text to show for `source`; the pointer stays valid until the
// translator is replaced.
using Translator = const char* (*)(const char* context, const char* source);

// Set once at start-up, before any thread runs; nullptr: the source texts.
void SetTranslator(Translator translator);
const char* Translate(const char* context, const char* source);

// `pattern` with %1 ... %9 replaced by the values; "%%" is a "%".
std::string Fill(const char* pattern, std::initializer_list<std::string> values);

}  // namespace text
