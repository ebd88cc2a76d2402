#include "ui/common/PortWrite.h"

#include "driver/serial/BufferedPort.h"
#include "driver/serial/OpenFailure.h"
#include "ui/common/MessageBox.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace ui {

namespace {

const char kBoxPending[] = "writeFailureBoxPending";

}  // namespace

void SendFrame(QObject* page, std::span<const std::uint8_t> frame, std::function<void(const QString& why)> onFailure)
{
    QPointer<QObject> guard(page);
    g_Serial.Post(std::vector<std::uint8_t>(frame.begin(), frame.end()),
                  [guard, onFailure = std::move(onFailure)](WriteResult result) {
                      if (result.ok())
                          return;
                      // Posted to the application object, which outlives every
                      // page; the guard is only looked at on the page's thread.
                      QCoreApplication* app = QCoreApplication::instance();
                      if (!app)
                          return;
                      QMetaObject::invokeMethod(
                          app,
                          [guard, onFailure, result] {
                              if (guard)
                                  onFailure(QString::fromStdString(serial::WriteFailureText(result)));
                          },
                          Qt::QueuedConnection);
                  });
}

void SendFrameOrSay(QWidget* page, std::span<const std::uint8_t> frame, const QString& caption)
{
    SendFrame(page, frame, [page, caption](const QString& why) {
        // The frames queued behind a failed one fail together, and their
        // reports are queued together: the box comes after them, once.
        if (page->property(kBoxPending).toBool())
            return;
        page->setProperty(kBoxPending, true);
        QMetaObject::invokeMethod(
            page,
            [page, caption, why] {
                ShowMessage(page, caption, why, Buttons::Ok, QMessageBox::Warning);
                page->setProperty(kBoxPending, false);
            },
            Qt::QueuedConnection);
    });
}

}  // namespace ui
