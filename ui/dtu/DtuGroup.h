// What the groups of the DTU page share. Each group of the page (the lists,
// the server and mode, the APN and packets, ...) is a small object owning
// its boxes: it reads its controls, builds its requests and shows its
// answers. Its requests go out through the page, which times the reply and
// keeps the status panes, and its refusals show in the page's boxes.
#pragma once

#include "core/dtu/Frame.h"
#include "core/dtu/Requests.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QRadioButton;
class QWidget;

namespace profile {
struct Profile;
}

enum class DtuModel { M330M, M330N, M331 };

// The read requests of the model's groups (profile::kPhones ...).
unsigned ModelQueries(DtuModel model);

// The model's name as its radio button shows it: "KV-331".
const char* ModelName(DtuModel model);

// The sections of `p` that the model's page cannot set ("phones", "ids",
// "mode" ...), in the profile's order; a load or a write that leaves them
// out says so.
std::vector<std::string> NotSettable(const profile::Profile& p, DtuModel model);

// The page as its groups see it.
class DtuPageLink {
public:
    // The parent of the groups' boxes and dialogs.
    virtual QWidget* pageWidget() = 0;
    virtual DtuModel CurrentModel() const = 0;

    // A request; pane 1 says "...." until it is answered or given up.
    virtual void Send(const dtu::Bytes& frame) = 0;
    virtual void SendQuery(std::uint8_t code) = 0;
    // The frame, or the message that refused the input.
    virtual void SendBuilt(const dtu::Built& built) = 0;
    virtual void Say(const char* text) = 0;
    void Say(const std::string& text) { Say(text.c_str()); }
    // True for OK in a box with the page's caption.
    virtual bool Confirm(const char* text) = 0;
    virtual void SetStatusText(const QString& text) = 0;

    // The dialog data, exchanged for the whole page at once: the entries of
    // the lists and the server and mode controls.
    virtual void SaveData() = 0;
    virtual void LoadData() = 0;

    virtual std::string ProfileText(std::string* refusal) const = 0;
    virtual void ApplyProfile(const profile::Profile& p) = 0;
    // What a write takes from the page beside its profile text.
    virtual void CompleteWrite(profile::Profile& p) const = 0;

protected:
    ~DtuPageLink() = default;
};

// The page's own small form helpers.
namespace ui::dtu_internal {

QCheckBox* Check(QWidget* parent, int id, const char* name, const QString& caption);
QRadioButton* Radio(QWidget* parent, int id, const char* name, const QString& caption);
// A label with its field: the label's caption is the field's name for
// assistive technology, and its mnemonic-less buddy takes the focus.
void Row(QGridLayout* grid, int row, const QString& caption, QWidget* field, int column = 0, int span = 1);
QHBoxLayout* Buttons(std::initializer_list<QWidget*> buttons);
// -1, or an index outside the group, leaves every button unchecked.
void SetSelection(QButtonGroup* group, int id);
void Enable(std::initializer_list<QWidget*> widgets, bool on);

inline std::string Std(const QString& s)
{
    return s.toStdString();
}

inline QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

}  // namespace ui::dtu_internal
