#pragma once

#include <QImage>
#include <QList>
#include <QString>

// One picture of the skin: the name the program loads it by (":/bitmaps/129"), the file it is
// stored in under res/, and the image itself.
struct Picture {
    QString alias;
    QString file;
    QImage image;
};
using PictureSet = QList<Picture>;

inline Picture bitmapPicture(int id, const QImage& image)
{
    return {QStringLiteral("bitmaps/%1").arg(id), QStringLiteral("bitmaps/%1.png").arg(id), image};
}

inline Picture iconPicture(const QString& name, const QImage& image)
{
    return {QStringLiteral("icons/") + name, QStringLiteral("icons/%1.png").arg(name), image};
}

void addWindowPictures(PictureSet& set);
void addButtonPictures(PictureSet& set);
void addIconPictures(PictureSet& set);

// The main window's background, which the buttons drawn on it without a transparent colour
// need to match.
QImage mainBackground();

// A contact sheet of the whole set for reviewing a change.
QImage previewSheet(const PictureSet& set);
