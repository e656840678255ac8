#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <initializer_list>

class CGeneralProfile;
class QBoxLayout;
class QButtonGroup;
class QCheckBox;

// A page of the options dialog. It shows the settings it edits when it is created and writes
// each change into the settings object the moment the user makes it. Controls carry their
// dialog identifiers in their object names (controlName).
class COptionsPage : public QWidget {
    Q_OBJECT

public:
    static QString controlName(int id);

protected:
    COptionsPage(CGeneralProfile& profile, const QString& caption, QWidget* parent);

    // One radio button of a group: its identifier, its text and the setting value it stands for.
    struct Choice {
        int id;
        QString text;
        int value;
    };

    QCheckBox* addCheckBox(QBoxLayout* layout, int id, const QString& text, bool& setting);
    // Radio buttons laid out in order; the one standing for current is checked. The group's ids
    // are the values.
    QButtonGroup* addChoices(QBoxLayout* layout, std::initializer_list<Choice> choices, int current,
                             std::function<void(int)> store);
    QButtonGroup* addChoices(QBoxLayout* layout, std::initializer_list<Choice> choices, int& setting);

    CGeneralProfile& m_profile;
};
