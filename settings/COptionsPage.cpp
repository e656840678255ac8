#include "settings/COptionsPage.h"

#include "settings/CGeneralProfile.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

COptionsPage::COptionsPage(CGeneralProfile& profile, const QString& caption, QWidget* parent)
    : QWidget(parent), m_profile(profile)
{
    setWindowTitle(caption);
}

QString COptionsPage::controlName(int id)
{
    return QStringLiteral("idc%1").arg(id);
}

QCheckBox* COptionsPage::addCheckBox(QBoxLayout* layout, int id, const QString& text, bool& setting)
{
    auto* box = new QCheckBox(text, this);
    box->setObjectName(controlName(id));
    box->setChecked(setting);
    connect(box, &QCheckBox::toggled, this, [&setting](bool checked) { setting = checked; });
    layout->addWidget(box);
    return box;
}

QButtonGroup* COptionsPage::addChoices(QBoxLayout* layout, std::initializer_list<Choice> choices, int current,
                                       std::function<void(int)> store)
{
    auto* group = new QButtonGroup(this);
    for (const Choice& choice : choices) {
        auto* button = new QRadioButton(choice.text, this);
        button->setObjectName(controlName(choice.id));
        button->setChecked(choice.value == current);
        group->addButton(button, choice.value);
        layout->addWidget(button);
    }
    connect(group, &QButtonGroup::idToggled, this, [store = std::move(store)](int value, bool checked) {
        if (checked)
            store(value);
    });
    return group;
}

QButtonGroup* COptionsPage::addChoices(QBoxLayout* layout, std::initializer_list<Choice> choices, int& setting)
{
    return addChoices(layout, choices, setting, [&setting](int value) { setting = value; });
}
