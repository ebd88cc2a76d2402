#include "ui/dtu/DtuVersionGroup.h"

#include "core/dtu/Commands.h"
#include "ui/common/Widgets.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace ui::dtu_internal;

DtuVersionGroup::DtuVersionGroup(DtuPageLink& page, QWidget* parent) : QObject(parent), page_(page)
{
    box_ = new QGroupBox(tr("版本/场强信息"), parent);
    text_ = ui::Tag(new QLineEdit(box_), 1038, "versionEdit");
    text_->setReadOnly(true);
    text_->setAccessibleName(box_->title());
    readVersion_ = ui::Button(box_, tr("读版本"), "readVersionButton", 1028);
    readSignal_ = ui::Button(box_, tr("读场强"), "readSignalButton", 1071);
    auto* layout = new QVBoxLayout(box_);
    layout->addWidget(text_);
    layout->addLayout(Buttons({readVersion_, readSignal_}));
    connect(readVersion_, &QPushButton::clicked, this, &DtuVersionGroup::OnReadVersion);
    connect(readSignal_, &QPushButton::clicked, this, &DtuVersionGroup::OnReadSignal);
}

void DtuVersionGroup::Show(const std::string& text)
{
    text_->setText(Q(text));
}

void DtuVersionGroup::OnReadVersion()
{
    text_->clear();
    page_.SendQuery(dtu::cmd::kReadVersion);
}

void DtuVersionGroup::OnReadSignal()
{
    text_->clear();
    page_.SendQuery(dtu::cmd::kReadSignal);
}
