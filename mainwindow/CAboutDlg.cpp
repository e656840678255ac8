#include "mainwindow/CAboutDlg.h"

#include "ui/SkinPictures.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Tallowin Skype Recorder"));
    const QIcon icon = SkinPictures::icon(128);
    setWindowIcon(icon);

    auto* picture = new QLabel(this);
    picture->setPixmap(icon.pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);
    layout->addWidget(picture, 0, 0, 2, 1);
    layout->addWidget(new QLabel(versionLine(), this), 0, 1);
    layout->addWidget(new QLabel(aboutLine(), this), 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
