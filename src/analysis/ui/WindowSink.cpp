#include "analysis/ui/WindowSink.h"

#include "platform/ui/TextPane.h"

#include <QComboBox>

WindowSink::WindowSink(QComboBox *list, TextPane *text) : m_list(list), m_text(text) {}

void WindowSink::clear() {
    m_blockLines.clear();
    m_entries.clear();
    if (m_list)
        m_list->clear();
    if (m_text)
        m_text->setText(QString());
}

void WindowSink::addEntry(const QString &entry) {
    m_entries << entry;
    if (m_list)
        m_list->addItem(entry);
}

void WindowSink::appendText(const QString &text) {
    if (m_text)
        m_text->append(text);
}

void WindowSink::reserve(qint64 units) {
    if (m_text)
        m_text->reserve(units);
}

void WindowSink::appendHeader(const QString &header) {
    if (!m_text)
        return;
    // Every piece before ends with a line break, so the block starts on the text's last line.
    m_blockLines.append(m_text->lineCount() - 1);
    if (m_writeHeaders)
        m_text->append(header);
}

int WindowSink::entryCount() const {
    return m_list ? m_list->count() : 0;
}

void WindowSink::selectEntry(int index) {
    if (!m_list || index < 0 || index >= m_list->count())
        return;
    // The selection handler runs on every selection, also when the entry was already current (the
    // first entry becomes current as soon as it is added).
    if (m_list->currentIndex() == index)
        emit m_list->currentIndexChanged(index);
    else
        m_list->setCurrentIndex(index);
}
