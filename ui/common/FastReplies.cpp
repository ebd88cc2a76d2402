#include "ui/common/FastReplies.h"

#include "driver/serial/BufferedPort.h"
#include "ui/common/Settings.h"

#include <QCheckBox>

namespace ui {

FastReplies& FastReplies::instance()
{
    static FastReplies setting;
    return setting;
}

bool FastReplies::on() const
{
    return g_Rx.FastReplies();
}

void FastReplies::set(bool on)
{
    if (const auto settings = Remembered())
        settings->setValue(QStringLiteral("fastReplies"), on);
    setForThisRun(on);
}

void FastReplies::setForThisRun(bool on)
{
    if (on == this->on())
        return;
    g_Rx.SetFastReplies(on);
    emit changed(on);
}

QCheckBox* FastReplies::MakeCheckBox(QWidget* parent)
{
    auto* box = new QCheckBox(tr("快速应答"), parent);
    box->setObjectName(QStringLiteral("fastRepliesCheck"));
    box->setToolTip(tr("应答帧一完整（长度、校验和与帧尾都正确）即处理，不再等待 0.4 秒的线路静默。"
                       "其他数据仍按静默判定结束。"));
    box->setAccessibleDescription(box->toolTip());
    box->setChecked(instance().on());
    // Only a click is the user's choice; a box following the setting is not.
    connect(box, &QCheckBox::clicked, &instance(), &FastReplies::set);
    connect(&instance(), &FastReplies::changed, box, &QCheckBox::setChecked);
    return box;
}

}  // namespace ui
