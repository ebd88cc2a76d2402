// The 100 ms tick: received bytes completed into frames and handed to the
// pages on screen, and the port watched for its loss.
#include "ui/app/MainWindow.h"

#include "driver/serial/BufferedPort.h"
#include "ui/common/FrameEvent.h"
#include "ui/common/ReceivedStream.h"
#include "ui/dtu/DtuPage.h"
#include "ui/pages/SmsHexPage.h"
#include "ui/pages/SmsTextPage.h"
#include "ui/pages/TcpPage.h"
#include "ui/upgrade/UpgradePage.h"

#include <QCoreApplication>
#include <QTimerEvent>

void MainWindow::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == timerId_)
        Tick();
    else
        QDialog::timerEvent(e);
}

void MainWindow::Tick()
{
    // The clock on every eleventh tick.
    if (clockTicks_++ >= 10) {
        clockTicks_ = 0;
        UpdateClock();
    }
    g_Rx.Tick([this](const ReceiveBuffer::Frame& frame) { NotifyPages(frame); });
    CheckPortLost();
    UpdateHint();
}

void MainWindow::DeliverWhole()
{
    // Closed: no page is told of anything any more, as with the tick.
    if (timerId_ == 0)
        return;
    g_Rx.DeliverWhole([this](const ReceiveBuffer::Frame& frame) { NotifyPages(frame); });
}

void MainWindow::NotifyPages(const ReceiveBuffer::Frame& frame)
{
    // The monitor and the terminal first, hidden or not: a page that answers
    // at once writes after they have the frame. They read the received
    // stream themselves and cut their record here.
    ui::ReceivedStream::instance().FrameEnded(frame.end);
    // Always in this order; a page that is hidden or not yet created
    // receives nothing.
    QWidget* const pages[] = {smsTextPage_, smsHexPage_, tcp_, dtu_, upgradePage_};
    const QEvent::Type types[] = {ui::kSmsTextFrame, ui::kSmsHexFrame, ui::kTcpFrame, ui::kDtuFrame,
                                  ui::kUpgradeFrame};
    for (int i = 0; i < 5; ++i) {
        if (pages[i] && pages[i]->isVisible()) {
            ui::FrameEvent event(types[i], frame);
            QCoreApplication::sendEvent(pages[i], &event);
        }
    }
}
