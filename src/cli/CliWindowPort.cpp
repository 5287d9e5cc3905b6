#include "cli/CliWindowPort.h"

#include <QRegularExpression>

#include <unistd.h>

CliWindowPort::CliWindowPort(FILE *err)
    : m_err(err)
    , m_live(isatty(fileno(err)) != 0)
{
    m_clock.start();
}

QString CliWindowPort::text(int id)
{
    std::lock_guard lock(m_mutex);
    return m_texts.value(id);
}

void CliWindowPort::setText(int id, const QString &text)
{
    std::lock_guard lock(m_mutex);
    const bool changed = m_texts.value(id) != text;
    m_texts[id] = text;
    if (id != IDC_STATUS && id != IDC_STATUS_DETAIL)
        return;
    if (m_live)
        drawProgress();
    else if (changed && !text.isEmpty())
        printLine(text);
}

bool CliWindowPort::isChecked(int id)
{
    std::lock_guard lock(m_mutex);
    return m_checked.contains(id);
}

void CliWindowPort::setChecked(int id, bool checked)
{
    std::lock_guard lock(m_mutex);
    if (checked)
        m_checked.insert(id);
    else
        m_checked.remove(id);
}

int CliWindowPort::currentIndex(int id)
{
    std::lock_guard lock(m_mutex);
    return m_indexes.value(id, -1);
}

void CliWindowPort::setCurrentIndex(int id, int index)
{
    std::lock_guard lock(m_mutex);
    m_indexes[id] = index;
}

void CliWindowPort::showMessage(const QString &text, const QString &)
{
    std::lock_guard lock(m_mutex);
    m_messages.append(text);
    printLine(text);
}

bool CliWindowPort::askYesNo(const QString &text)
{
    std::lock_guard lock(m_mutex);
    m_messages.append(text);
    printLine(text + QStringLiteral(" -> 否"));
    return false;
}

QList<int> CliWindowPort::selectedAlbums()
{
    std::lock_guard lock(m_mutex);
    return m_selection;
}

void CliWindowPort::openFolderOrAddress(const QString &target)
{
    std::lock_guard lock(m_mutex);
    m_opened = target;
}

void CliWindowPort::setSelection(const QList<int> &albums)
{
    std::lock_guard lock(m_mutex);
    m_selection = albums;
}

QStringList CliWindowPort::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

QString CliWindowPort::openedFolder() const
{
    std::lock_guard lock(m_mutex);
    return m_opened;
}

void CliWindowPort::finishLine()
{
    std::lock_guard lock(m_mutex);
    if (m_lineOpen) {
        std::fputs("\n", m_err);
        m_lineOpen = false;
    }
    std::fflush(m_err);
}

void CliWindowPort::printLine(const QString &line)
{
    if (m_lineOpen) {
        std::fputs("\r\033[K", m_err);
        m_lineOpen = false;
    }
    std::fprintf(m_err, "%s\n", line.toUtf8().constData());
    std::fflush(m_err);
    if (m_live)
        drawProgress();
}

// One live line: the album being walked, a bar of the pictures done, the rate. The
// numbers come from the status texts the engine writes anyway.
void CliWindowPort::drawProgress()
{
    static const QRegularExpression albumPattern(QStringLiteral("(\\d+)/(\\d+)个图集"));
    static const QRegularExpression donePattern(QStringLiteral("已下载(\\d+)/(\\d+)"));
    const QString status = m_texts.value(IDC_STATUS);
    const QString detail = m_texts.value(IDC_STATUS_DETAIL);

    QString line;
    const auto album = albumPattern.match(status);
    if (album.hasMatch())
        line = QStringLiteral("相册 %1/%2 ").arg(album.captured(1), album.captured(2));
    else
        line = status + QLatin1Char(' ');
    const auto done = donePattern.match(detail);
    if (done.hasMatch()) {
        const int count = done.captured(1).toInt();
        const int total = qMax(1, done.captured(2).toInt());
        const int width = 24;
        const int filled = qMin(width, count * width / total);
        const double seconds = qMax<qint64>(1, m_clock.elapsed()) / 1000.0;
        line += QStringLiteral("[%1%2] %3/%4 %5 张/秒")
                    .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('.')))
                    .arg(count)
                    .arg(done.captured(2))
                    .arg(count / seconds, 0, 'f', 1);
    } else {
        line += detail;
    }
    std::fprintf(m_err, "\r\033[K%s", line.toUtf8().constData());
    std::fflush(m_err);
    m_lineOpen = true;
}
