#include "ui/dtu/DtuGroup.h"

#include "core/profile/Profile.h"
#include "core/profile/Settings.h"
#include "ui/common/Widgets.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

unsigned ModelQueries(DtuModel model)
{
    unsigned q = profile::kOwnId | profile::kNet | profile::kUart | profile::kVersion | profile::kSignal |
                 profile::kClock;
    if (model == DtuModel::M330M)
        return q | profile::kPhones | profile::kIds;
    q |= profile::kPackets;
    return model == DtuModel::M331 ? q | profile::kRf : q;
}

const char* ModelName(DtuModel model)
{
    return model == DtuModel::M330M ? "KV-330-M" : model == DtuModel::M330N ? "KV-330-N" : "KV-331";
}

std::vector<std::string> NotSettable(const profile::Profile& p, DtuModel model)
{
    const unsigned q = ModelQueries(model);
    const bool m = model == DtuModel::M330M;
    // The own ID's field adds to the ID list on a KV-330-M; the mode is
    // fixed on the others.
    const std::pair<bool, const char*> sections[] = {
        {p.phones && !(q & profile::kPhones), "phones"}, {p.ids && !(q & profile::kIds), "ids"},
        {p.ownId && m, "own_id"},                         {p.mode && !m, "mode"},
        {p.packets && !(q & profile::kPackets), "packets"}, {p.rf && !(q & profile::kRf), "rf"},
    };
    std::vector<std::string> names;
    for (const auto& [present, name] : sections)
        if (present)
            names.emplace_back(name);
    return names;
}

namespace ui::dtu_internal {

QCheckBox* Check(QWidget* parent, int id, const char* name, const QString& caption)
{
    return ui::Tag(new QCheckBox(caption, parent), id, name);
}

QRadioButton* Radio(QWidget* parent, int id, const char* name, const QString& caption)
{
    return ui::Tag(new QRadioButton(caption, parent), id, name);
}

void Row(QGridLayout* grid, int row, const QString& caption, QWidget* field, int column, int span)
{
    auto* label = ui::Label(caption, field->parentWidget());
    label->setBuddy(field);
    ui::NameAfter(field, label->text());
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1, 1, span);
}

QHBoxLayout* Buttons(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    for (QWidget* b : buttons)
        row->addWidget(b);
    return row;
}

void SetSelection(QButtonGroup* group, int id)
{
    if (QAbstractButton* b = group->button(id)) {
        b->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

void Enable(std::initializer_list<QWidget*> widgets, bool on)
{
    for (QWidget* w : widgets)
        w->setEnabled(on);
}

}  // namespace ui::dtu_internal
