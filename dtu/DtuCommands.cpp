// The DTU page's requests: one handler per button, each reading the
// controls, having the core build the frame and sending it.
#include "common/Language.h"
#include "common/LineEdits.h"
#include "common/MessageBox.h"
#include "common/PortWrite.h"
#include "common/Widgets.h"
#include "dtu/Commands.h"
#include "dtu/Dialog_Rf_Setup.h"
#include "dtu/DtuDlg.h"
#include "dtu/Edit_Hex_Ex.h"
#include "dtu/Messages.h"
#include "dtu/Requests.h"
#include "profile/Sequence.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

#include <ctime>

namespace {

const char kCaption[] = QT_TRANSLATE_NOOP("CDtuDlg", "提示！");

std::string Std(const QString& s)
{
    return s.toStdString();
}

}  // namespace

void CDtuDlg::SetStatus(const char* text)
{
    panes_[1]->setText(ui::CoreText("dtu::msg", text));
}

void CDtuDlg::Send(const dtu::Bytes& frame)
{
    SetStatus(dtu::msg::kPending);
    replyTimer_.start(kReplyTimeoutMs, this);
    ui::SendFrame(this, frame, [this](const QString& why) {
        // An answer can have come meanwhile only to an earlier request.
        replyTimer_.stop();
        panes_[1]->setText(why);
    });
}

void CDtuDlg::SendBuilt(const dtu::Built& built)
{
    if (built.ok())
        Send(built.frame);
    else
        Say(built.message);
}

void CDtuDlg::SendQuery(std::uint8_t code)
{
    Send(*dtu::BuildQuery(code));
}

void CDtuDlg::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == stepTimer_.timerId()) {
        stepTimer_.stop();
        if (run_) {
            run_->GiveUp();
            SendStep();
        }
        return;
    }
    if (e->timerId() != replyTimer_.timerId()) {
        FramePage::timerEvent(e);
        return;
    }
    replyTimer_.stop();
    if (panes_[1]->text() == QLatin1String(dtu::msg::kPending))
        SetStatus(kNoReply);
}

void CDtuDlg::Say(const char* text)
{
    ui::ShowMessage(this, tr(kCaption), ui::CoreText("dtu::msg", text));
}

// Lists.

void CDtuDlg::AddRow(QTreeWidget* list, std::uint8_t& count, const QString& value)
{
    auto* item = new QTreeWidgetItem({QString::fromStdString(dtu::ListLabel(count)), value});
    list->insertTopLevelItem(std::min<int>(count, list->topLevelItemCount()), item);
    ++count;
}

void CDtuDlg::DeleteSelected(QTreeWidget* list, std::uint8_t& count)
{
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty())
        return;
    delete selected.first();
    if (count > 0)
        --count;
}

void CDtuDlg::ClearList(QTreeWidget* list, std::uint8_t& count, std::uint8_t clearCode)
{
    QApplication::beep();
    // OK clears the DTU's copy, Cancel the page's.
    if (ui::ShowMessage(this, tr(kCaption), ui::CoreText("dtu::msg", dtu::msg::kClearQuestion),
                        ui::Buttons::OkCancel) == QMessageBox::Ok) {
        SendQuery(clearCode);
        return;
    }
    list->clear();
    count = 0;
}

std::vector<std::string> CDtuDlg::ListValues(const QTreeWidget* list) const
{
    std::vector<std::string> values;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        values.push_back(Std(list->topLevelItem(i)->text(1)));
    return values;
}

void CDtuDlg::OnAddPhone()
{
    SaveData();
    const std::string text = Std(data_.phone);
    if (const auto refusal = dtu::CheckPhoneEntry(text, phoneCount_)) {
        Say(*refusal);
        return;
    }
    AddRow(phoneList_, phoneCount_, data_.phone);
}

void CDtuDlg::OnWritePhones()
{
    SendBuilt(dtu::BuildWritePhoneList(ListValues(phoneList_)));
}

void CDtuDlg::OnReadPhones()
{
    phoneList_->clear();
    SendQuery(dtu::cmd::kReadPhoneList);
}

void CDtuDlg::OnDeletePhone()
{
    DeleteSelected(phoneList_, phoneCount_);
}

void CDtuDlg::OnClearPhones()
{
    ClearList(phoneList_, phoneCount_, dtu::cmd::kClearPhoneList);
}

void CDtuDlg::OnAddIdOrSetOwnId()
{
    if (!model330M_->isChecked()) {
        Send(dtu::BuildSetOwnId(Std(idEdit_->text()), customId_->isChecked()));
        return;
    }
    SaveData();
    if (const auto refusal = dtu::CheckIdEntry(Std(data_.id), idCount_)) {
        Say(*refusal);
        return;
    }
    AddRow(idList_, idCount_, data_.id);
}

void CDtuDlg::OnReadOwnId()
{
    SendQuery(dtu::cmd::kReadOwnId);
}

void CDtuDlg::OnWriteIds()
{
    SendBuilt(dtu::BuildWriteIdList(ListValues(idList_)));
}

void CDtuDlg::OnReadIds()
{
    idList_->clear();
    idEdit_->clear();
    SendQuery(dtu::cmd::kReadIdList);
}

void CDtuDlg::OnDeleteId()
{
    DeleteSelected(idList_, idCount_);
}

void CDtuDlg::OnClearIds()
{
    ClearList(idList_, idCount_, dtu::cmd::kClearIdList);
}

// Server, port and working mode.

void CDtuDlg::OnSetAddress()
{
    SaveData();
    if (data_.addressKind == 0) {
        Send(dtu::BuildSetServerIp(ip_->address()));
        return;
    }
    SendBuilt(dtu::BuildSetDomain(Std(data_.domain)));
}

void CDtuDlg::OnSetPort()
{
    SaveData();
    SendBuilt(dtu::BuildSetPort(Std(data_.port)));
}

void CDtuDlg::OnProtocolTransfer()
{
    SetTransferControls(true);
}

void CDtuDlg::OnTransparentTransfer()
{
    SetTransferControls(false);
}

void CDtuDlg::OnSetMode()
{
    SaveData();
    dtu::WorkMode mode;
    mode.transferKind = data_.transferKind == 0 ? 0 : 1;
    mode.sms = smsOption_->isChecked();
    mode.smsHex = smsHexOption_->isChecked();
    mode.tcp = tcpOption_->isChecked();
    mode.subMode = data_.subMode;
    Send(dtu::BuildSetWorkMode(mode));
}

void CDtuDlg::OnDefaultMode()
{
    // Local only: the user sends the result with "模式配置".
    data_.transferKind = 0;
    data_.subMode = -1;
    smsOption_->setChecked(true);
    smsHexOption_->setChecked(true);
    tcpOption_->setChecked(false);
    SetTransferControls(true);
    LoadData();
}

void CDtuDlg::OnReadNetParams()
{
    SendQuery(dtu::cmd::kReadNetParams);
}

// Serial settings, APN, version, restart, clock.

void CDtuDlg::OnWriteUart()
{
    Send(dtu::BuildWriteUart(ui::SelectedIndex(baud_), ui::SelectedIndex(parity_), ui::SelectedIndex(interface_)));
}

void CDtuDlg::OnReadUart()
{
    SendQuery(dtu::cmd::kReadUart);
}

void CDtuDlg::OnSetApn()
{
    Send(dtu::BuildSetApn(Std(apn_->text()), Std(apnUser_->text()), Std(apnPassword_->text())));
}

void CDtuDlg::OnReadVersion()
{
    versionText_->clear();
    SendQuery(dtu::cmd::kReadVersion);
}

void CDtuDlg::OnReadSignal()
{
    versionText_->clear();
    SendQuery(dtu::cmd::kReadSignal);
}

void CDtuDlg::OnRestart()
{
    SendQuery(dtu::cmd::kRestart);
}

void CDtuDlg::OnSetClock()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    if (localtime_r(&now, &tm) == nullptr)
        return;
    Send(dtu::BuildSetClock(
        {static_cast<int>(static_cast<unsigned>(tm.tm_year) + 1900u), tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday}));
}

void CDtuDlg::OnReadClock()
{
    SendQuery(dtu::cmd::kReadClock);
}

void CDtuDlg::OnWireless()
{
    CDialog_Rf_Setup* dialog = Rf();
    dialog->showNormal();
    dialog->raise();
    dialog->activateWindow();
}

// Packets.

void CDtuDlg::OnWritePackets()
{
    Send(dtu::BuildWritePackets(Std(heartbeatEdit_->text()), Std(registrationEdit_->text()),
                                customPackets_->isChecked(), hex_->isChecked()));
}

void CDtuDlg::OnReadPackets()
{
    SendQuery(dtu::cmd::kReadPackets);
}

void CDtuDlg::OnHex()
{
    g_HexInput = hex_->isChecked() ? 1 : 0;
    // The edits show the packets of the last read in the new form; what
    // was typed is replaced.
    ShowPackets();
}
