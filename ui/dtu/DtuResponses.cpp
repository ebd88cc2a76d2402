// The DTU page's answers: which group each command code goes to, and what
// the page says of it.
//
//   code        group: decoded into     pane 1       box, after the notification
//   envelope x  -                       "Fail!"      -
//   E2 / E4     lists: list refilled    "Success!"   -
//   E9          server: server, mode    "Success!"   -
//   ED          serial: settings        "Success!"   -
//   EE          lists: own ID           "Success!"   -
//   F1 / FE     version: its text       "Success!"   -
//   F3          -                       untouched    "写入射频参数成功!"
//   F4          reset: wireless dialog  untouched    "读取射频参数成功!"
//   F7          -                       "Success!"   "写入成功!"
//   F8          packets, "自定义"        "Success!"   "读取成功!"
//   FD          -                       "Success!" once the box is closed; the box shows the clock
//   any other   -                       "Success!"   -
//
// During a whole-DTU run the answers still fill the groups, but the run
// says its progress in pane 1 and shows no box.
#include "core/dtu/Messages.h"
#include "driver/serial/BufferedPort.h"
#include "ui/common/Language.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Records.h"
#include "ui/dtu/DtuListsGroup.h"
#include "ui/dtu/DtuPacketsGroup.h"
#include "ui/dtu/DtuPage.h"
#include "ui/dtu/DtuProfileGroup.h"
#include "ui/dtu/DtuResetGroup.h"
#include "ui/dtu/DtuSerialGroup.h"
#include "ui/dtu/DtuServerGroup.h"
#include "ui/dtu/DtuVersionGroup.h"
#include "ui/dtu/RfDialog.h"

void DtuPage::OnFrame(const ui::FrameEvent& frame)
{
    const dtu::Response r(frame.buffer, frame.length);
    const dtu::ResponsePlan plan = dtu::PlanResponse(r);
    switch (plan.decoder) {
    case dtu::Decoder::None:
    case dtu::Decoder::RfWritten:
        break;
    case dtu::Decoder::PhoneList:
        lists_->ShowPhones(dtu::DecodePhoneList(r));
        break;
    case dtu::Decoder::IdList:
        lists_->ShowIds(dtu::DecodeIdList(r));
        break;
    case dtu::Decoder::NetParams:
        server_->ShowNetParams(r);
        break;
    case dtu::Decoder::Uart:
        serial_->ShowUart(dtu::DecodeUart(r));
        break;
    case dtu::Decoder::OwnId: {
        const dtu::OwnId id = dtu::DecodeOwnId(r);
        ui::NoteOwnId(g_Serial.PortPath(), id.id);
        lists_->ShowOwnId(id);
        break;
    }
    case dtu::Decoder::Version: {
        const std::string text = dtu::DecodeText(r, dtu::kVersionCapacity);
        ui::NoteVersion(g_Serial.PortPath(), text);
        version_->Show(text);
        break;
    }
    case dtu::Decoder::Signal:
        version_->Show(dtu::DecodeText(r, dtu::kSignalCapacity));
        break;
    case dtu::Decoder::Packets:
        packets_->ShowPackets(dtu::DecodePackets(r));
        break;
    case dtu::Decoder::Clock: {
        if (profile_->running())
            break;
        // Pane 1 changes once the box is closed.
        const QString clock = QString::fromStdString(dtu::DecodeClock(r));
        ShowLater(clock, [this] {
            replyTimer_.stop();
            SetStatus(dtu::msg::kSuccess);
        });
        return;
    }
    case dtu::Decoder::RfRead:
        // Kept for the first opening when the dialog was never shown.
        reset_->Rf()->Apply(dtu::DecodeRfAnswer(r));
        break;
    }
    if (profile_->running()) {
        // A box per answer would stop a run at every packet and wireless
        // read.
        profile_->Answered(r);
        return;
    }
    if (plan.status) {
        // Only an answer that reports in pane 1 ends the wait for one.
        replyTimer_.stop();
        SetStatus(plan.status);
    }
    if (plan.message)
        ShowLater(ui::CoreText("dtu::msg", plan.message));
}

void DtuPage::ShowLater(const QString& text, std::function<void()> then)
{
    boxes_.push_back({text, std::move(then)});
    QMetaObject::invokeMethod(this, &DtuPage::ShowPending, Qt::QueuedConnection);
}

void DtuPage::ShowPending()
{
    // One box at a time: a box queued while another is open follows it.
    if (showingBoxes_)
        return;
    showingBoxes_ = true;
    while (!boxes_.empty()) {
        Box box = std::move(boxes_.front());
        boxes_.pop_front();
        ui::ShowMessage(this, ui::AppCaption(), box.text);
        if (box.then)
            box.then();
    }
    showingBoxes_ = false;
}
