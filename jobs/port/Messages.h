// Why a job on a unit failed, and what its image loading refuses. Records
// and dtuctl keep these in English, as written here; the window shows them
// in its language by matching a text against these (ui/common/Words.h), so
// each is a pattern whose values are %1 ... %9, filled with text::Fill.
#pragma once

#include "core/common/Tr.h"

namespace jobs::msg {

// The line.
inline constexpr const char* kDoctor = DTU_TR_NOOP("jobs::msg", "%1 (dtuctl doctor -p %2 says why)");
inline constexpr const char* kServerClosed =
    DTU_TR_NOOP("jobs::msg", "the server closed the connection (network down, or the port busy with another user)");
inline constexpr const char* kPortGone = DTU_TR_NOOP("jobs::msg", "the port went away");
inline constexpr const char* kGoneSending = DTU_TR_NOOP("jobs::msg", "%1 while sending %2");
inline constexpr const char* kNotTaken = DTU_TR_NOOP("jobs::msg", "the line did not take %1: %2");
inline constexpr const char* kGoneWaiting = DTU_TR_NOOP("jobs::msg", "%1 while waiting for the answer to %2");
inline constexpr const char* kMalformed = DTU_TR_NOOP("jobs::msg", "malformed answer to %1: %2");
inline constexpr const char* kNoAnswerSent = DTU_TR_NOOP("jobs::msg", "no answer to %1 within %2 ms (sent %3)");

// The image file.
inline constexpr const char* kNotAnImage = DTU_TR_NOOP("jobs::msg", "%1: not an image file (%2)");
inline constexpr const char* kNotRegular = DTU_TR_NOOP("jobs::msg", "not a regular file");
inline constexpr const char* kNoSuchFile = DTU_TR_NOOP("jobs::msg", "no such file");
inline constexpr const char* kTooLarge = DTU_TR_NOOP("jobs::msg", "%1: larger than %2 MiB; no DTU image is that large");
inline constexpr const char* kCannotReadWhy = DTU_TR_NOOP("jobs::msg", "%1: the image cannot be read: %2");
inline constexpr const char* kCannotRead = DTU_TR_NOOP("jobs::msg", "%1: the image cannot be read");
inline constexpr const char* kEmpty = DTU_TR_NOOP("jobs::msg", "%1: the image is empty; nothing to send");

// The upgrade. kImageBlock is also the request a failure names.
inline constexpr const char* kImageBlock = DTU_TR_NOOP("jobs::msg", "image block");
inline constexpr const char* kImageBlockN = DTU_TR_NOOP("jobs::msg", "image block %1");
inline constexpr const char* kImageEnd = DTU_TR_NOOP("jobs::msg", "the end of the image");
inline constexpr const char* kGoneAfter = DTU_TR_NOOP("jobs::msg", "%1 after %2 block(s)");
inline constexpr const char* kBytesIn = DTU_TR_NOOP("jobs::msg", "%1 bytes in %2 s");
inline constexpr const char* kAccepted = DTU_TR_NOOP("jobs::msg", "the DTU accepted the image (ECK), %1");
inline constexpr const char* kUpgraded = DTU_TR_NOOP("jobs::msg", "upgraded, %1");
inline constexpr const char* kRejected = DTU_TR_NOOP("jobs::msg", "the DTU rejected the image (DCK) after %1");
inline constexpr const char* kNoAnswer = DTU_TR_NOOP("jobs::msg", "no answer to %1 within %2 ms");
inline constexpr const char* kImageUnread = DTU_TR_NOOP("jobs::msg", "the image could not be read");
inline constexpr const char* kEndedOddly = DTU_TR_NOOP("jobs::msg", "the transfer ended unexpectedly");

// The end of a job as its record keeps it: written by the jobs and by the
// window's pages.
inline constexpr const char* kStopped = DTU_TR_NOOP("jobs::msg", "stopped");
inline constexpr const char* kStoppedAfter = DTU_TR_NOOP("jobs::msg", "stopped after %1/%2 blocks");
inline constexpr const char* kWindowClosed = DTU_TR_NOOP("jobs::msg", "%1: the window was closed");
inline constexpr const char* kStartedAgain = DTU_TR_NOOP("jobs::msg", "%1: started again");
inline constexpr const char* kLineFailedAfter = DTU_TR_NOOP("jobs::msg", "the line failed after %1/%2 blocks");
inline constexpr const char* kRejectedNow = DTU_TR_NOOP("jobs::msg", "the DTU rejected the image (DCK)");
inline constexpr const char* kFrameNotTaken = DTU_TR_NOOP("jobs::msg", "the line did not take a frame");
inline constexpr const char* kNothingSent = DTU_TR_NOOP("jobs::msg", "nothing was sent");
inline constexpr const char* kNothingChanged = DTU_TR_NOOP("jobs::msg", "nothing was changed");
inline constexpr const char* kNotBegun = DTU_TR_NOOP("jobs::msg", "stopped before it began");
inline constexpr const char* kPageClosed = DTU_TR_NOOP("jobs::msg", "the page was closed");
inline constexpr const char* kPortClosed = DTU_TR_NOOP("jobs::msg", "the port was closed");
inline constexpr const char* kVersionUnread = DTU_TR_NOOP("jobs::msg", "its version could not be read after the upgrade");

}  // namespace jobs::msg
