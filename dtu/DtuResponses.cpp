// The DTU page's answers: what each command code does to the page.
//
//   code        decoder                 pane 1       box, after the notification
//   envelope x  -                       "Fail!"      -
//   E2 / E4     list refilled           "Success!"   -
//   E9          server, port, mode      "Success!"   -
//   ED          serial settings         "Success!"   -
//   EE          own ID, "自定义"         "Success!"   -
//   F1 / FE     version / signal text   "Success!"   -
//   F3          -                       untouched    "写入射频参数成功!"
//   F4          wireless dialog filled  untouched    "读取射频参数成功!"
//   F7          -                       "Success!"   "写入成功!"
//   F8          packets, "自定义"        "Success!"   "读取成功!"
//   FD          -                       "Success!" once the box is closed; the box shows the clock
//   any other   -                       "Success!"   -
#include "common/Language.h"
#include "common/LineEdits.h"
#include "common/MessageBox.h"
#include "common/Widgets.h"
#include "dtu/Dialog_Rf_Setup.h"
#include "dtu/DtuDlg.h"
#include "dtu/Messages.h"
#include "profile/Sequence.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

void CDtuDlg::OnFrame(const ui::FrameEvent& frame)
{
    const dtu::Response r(frame.buffer, frame.lParam);
    const dtu::ResponsePlan plan = dtu::PlanResponse(r);
    switch (plan.decoder) {
    case dtu::Decoder::None:
    case dtu::Decoder::RfWritten:
        break;
    case dtu::Decoder::PhoneList:
        FillList(phoneList_, phoneCount_, dtu::DecodePhoneList(r));
        break;
    case dtu::Decoder::IdList:
        FillList(idList_, idCount_, dtu::DecodeIdList(r));
        break;
    case dtu::Decoder::NetParams:
        ShowNetParams(r);
        break;
    case dtu::Decoder::Uart: {
        const dtu::UartIndexes u = dtu::DecodeUart(r);
        ui::SelectIndex(baud_, u.baud);
        ui::SelectIndex(parity_, u.parity);
        ui::SelectIndex(interface_, u.interface);
        break;
    }
    case dtu::Decoder::OwnId: {
        const dtu::OwnId id = dtu::DecodeOwnId(r);
        idEdit_->setText(QString::fromStdString(id.id));
        customId_->setChecked(id.custom);
        break;
    }
    case dtu::Decoder::Version:
        versionText_->setText(QString::fromStdString(dtu::DecodeText(r, dtu::kVersionCapacity)));
        break;
    case dtu::Decoder::Signal:
        versionText_->setText(QString::fromStdString(dtu::DecodeText(r, dtu::kSignalCapacity)));
        break;
    case dtu::Decoder::Packets: {
        const dtu::Packets p = dtu::DecodePackets(r);
        heartbeat_ = p.heartbeat;
        registration_ = p.registration;
        ShowPackets();
        customPackets_->setChecked(p.custom);
        break;
    }
    case dtu::Decoder::Clock: {
        if (run_)
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
        Rf()->Apply(dtu::DecodeRfAnswer(r));
        break;
    }
    if (run_) {
        // A whole-DTU run says its progress in pane 1, and a box per answer
        // would stop it at every packet and wireless read.
        if (run_->OnAnswer(r))
            StepAnswered();
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

void CDtuDlg::FillList(QTreeWidget* list, std::uint8_t& count, const std::vector<std::string>& values)
{
    // The read request emptied the list; an answer adds to what is there.
    count = 0;
    for (const std::string& v : values)
        AddRow(list, count, QString::fromStdString(v));
}

void CDtuDlg::ShowNetParams(const dtu::Response& r)
{
    for (QCheckBox* c : {smsOption_, smsHexOption_, tcpOption_})
        c->setChecked(false);
    SaveData();

    dtu::NetPageState page;
    page.transferKind = data_.transferKind;
    page.subMode = data_.subMode;
    page.addressKind = data_.addressKind;
    page.domain = data_.domain.toStdString();
    page.port = data_.port.toStdString();
    page.ip = ip_->address();
    dtu::ApplyNetParams(dtu::DecodeNetParams(r), page);

    data_.transferKind = page.transferKind;
    data_.subMode = page.subMode;
    data_.addressKind = page.addressKind;
    data_.domain = QString::fromStdString(page.domain);
    data_.port = QString::fromStdString(page.port);
    if (page.ip)
        ip_->setAddress(*page.ip);
    else
        ip_->clearAddress();
    smsOption_->setChecked(page.sms);
    smsHexOption_->setChecked(page.smsHex);
    tcpOption_->setChecked(page.tcp);
    SetTransferControls(page.optionsEnabled);
    LoadData();
}

void CDtuDlg::ShowPackets()
{
    const bool hex = hex_->isChecked();
    heartbeatEdit_->setText(QString::fromStdString(dtu::PacketText(heartbeat_, hex)));
    registrationEdit_->setText(QString::fromStdString(dtu::PacketText(registration_, hex)));
}

void CDtuDlg::ShowLater(const QString& text, std::function<void()> then)
{
    boxes_.push_back({text, std::move(then)});
    QMetaObject::invokeMethod(this, &CDtuDlg::ShowPending, Qt::QueuedConnection);
}

void CDtuDlg::ShowPending()
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
