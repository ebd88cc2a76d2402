// What a production test says of a unit that failed. Records, dtuctl and
// JUnit files keep these in English, as written here; the window shows
// them in its language by matching a text against these (ui/common/Words.h),
// so each is a pattern whose values are %1 ... %9, filled with text::Fill.
#pragma once

#include "core/common/Tr.h"

namespace production::msg {

inline constexpr const char* kVersionMismatch = DTU_TR_NOOP("production::msg", "version \"%1\" does not match \"%2\"");
inline constexpr const char* kSignalUnknown = DTU_TR_NOOP("production::msg", "signal unknown (\"%1\")");
inline constexpr const char* kSignalLow = DTU_TR_NOOP("production::msg", "signal %1 < %2");
inline constexpr const char* kSignalHigh = DTU_TR_NOOP("production::msg", "signal %1 > %2");
inline constexpr const char* kNoRegistration = DTU_TR_NOOP("production::msg", "no registration within %1");
inline constexpr const char* kNoHeartbeat = DTU_TR_NOOP("production::msg", "no heartbeat within %1");
inline constexpr const char* kEchoShort = DTU_TR_NOOP("production::msg", "%1: %2 of %3 bytes arrived within %4");
inline constexpr const char* kEchoDiffers = DTU_TR_NOOP("production::msg", "%1: %2 of %3 bytes differ");
inline constexpr const char* kEchoExtra = DTU_TR_NOOP("production::msg", "%1: %2 bytes arrived, %3 sent");
inline constexpr const char* kEchoSlow = DTU_TR_NOOP("production::msg", "echo took %1 ms > %2");
inline constexpr const char* kReadBackDiffers = DTU_TR_NOOP("production::msg", "%1: read back different: %2");
inline constexpr const char* kNoVersionAfter = DTU_TR_NOOP("production::msg", "no version read after the upgrade");
inline constexpr const char* kFinalOwnId = DTU_TR_NOOP(
    "production::msg", "%1: own_id.id = \"%2\" would give every unit tested the same own ID; give units their own "
                       "with [own_id] in the plan");

}  // namespace production::msg
