#include "StandInChats.h"

QString StandInChats::dialogWith(const QString& handle, const QString& user)
{
    for (auto chat = m_members.cbegin(); chat != m_members.cend(); ++chat) {
        if (chat.value() == QStringList{handle})
            return chat.key();
    }
    const QString name = QStringLiteral("#%1/$%2;%3").arg(handle, user, QString::number(m_nextChat++, 16));
    m_members.insert(name, {handle});
    return name;
}

int StandInChats::addMessage(const QString& chat, const QString& from, const QString& body)
{
    const int id = m_nextMessage++;
    m_messages.insert(id, {chat, from, body});
    return id;
}

const StandInChats::Message* StandInChats::message(int id) const
{
    const auto found = m_messages.constFind(id);
    return found == m_messages.cend() ? nullptr : &found.value();
}
