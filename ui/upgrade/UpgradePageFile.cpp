// The image file: chosen with "打开", described on the page, and read whole
// when a transfer starts.
#include "ui/upgrade/UpgradePage.h"

#include "ui/common/FileDialog.h"
#include "ui/upgrade/UpgradePageInternal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

using ui::upgrade_internal::Text;

namespace {

const char kFilter[] = "Data Files(*.bin);;All Files (*.*)";
const char kNothingSent[] = QT_TRANSLATE_NOOP("UpgradePage", "未发送任何数据。");

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

}  // namespace

void UpgradePage::OnOpen()
{
    const QString path = ui::GetOpenFileName(this, Text(kFilter), QStringLiteral("folders/image"));
    if (path.isEmpty())
        return;
    pathEdit_->setText(path);
    const qint64 size = QFileInfo(path).size();
    ShowFileInfo(path, size);
    // A running transfer goes on with the image it read at its start; its
    // progress is left alone.
    if (transferring())
        return;
    imageBytes_ = static_cast<std::uint64_t>(std::max<qint64>(0, size));
    started_ = false;
    SetRange(imageBytes_);
    verdictText_->clear();
    UpdateProgress();
}

std::optional<std::vector<std::uint8_t>> UpgradePage::ReadImage(const QString& path)
{
    const QFileInfo info(path);
    QString why;
    QFile file(path);
    QByteArray data;
    if (!info.exists()) {
        why = tr("找不到升级文件 %1。").arg(Shown(path));
    } else if (info.isDir()) {
        why = tr("%1 是文件夹，不是升级文件。").arg(Shown(path));
    } else if (!info.isFile()) {
        // A device or a pipe could be read for ever.
        why = tr("%1 不是普通文件，不能作为升级文件。").arg(Shown(path));
    } else if (!file.open(QIODevice::ReadOnly)) {
        why = tr("无法打开升级文件 %1：%2。").arg(Shown(path), file.errorString());
    } else {
        data = file.read(kMaxImageBytes + 1);
        if (file.error() != QFileDevice::NoError)
            why = tr("读取升级文件 %1 失败：%2。").arg(Shown(path), file.errorString());
        else if (data.size() > kMaxImageBytes)
            why = tr("升级文件 %1 大于 %2 MB，不是 DTU 的固件。").arg(Shown(path)).arg(kMaxImageBytes >> 20);
        else if (data.isEmpty())
            why = tr("升级文件 %1 是空的。").arg(Shown(path));
    }
    if (!why.isEmpty()) {
        Say(why + Text(kNothingSent));
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

void UpgradePage::ShowFileInfo(const QString& path, qint64 size)
{
    nameLabel_->setText(QFileInfo(path).fileName());
    sizeLabel_->setText(QString::fromStdString(upgrade::SizeText(static_cast<std::uint64_t>(std::max<qint64>(0, size)))));
}
