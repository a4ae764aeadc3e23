#pragma once

// Shared by the output tests: tables of cards, the report files and reading them back.
#include "data/CardFileTestKit.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace OutputTestKit {

// A card with surname and first name, valid for the list tests.
inline void addPerson(CardTable &t, const QString &fam, const QString &name, int ftype = 1)
{
    CardFileTestKit::addCard(
        t, CardFileTestKit::validCard(
               fam, {{CardFields::NAME, name}, {CardFields::FTYPE, QString::number(ftype)}}));
}

// The text an RTF reader finds in a document: unrtf's HTML without tags, entities decoded,
// one line per run of text. Empty with a message in error when the reader fails.
inline QStringList rtfText(const QString &path, QString *error)
{
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty()) {
        *error = QStringLiteral("unrtf is missing: run scripts/install-deps.sh");
        return {};
    }
    QProcess process;
    process.start(unrtf, {QStringLiteral("--html"), path});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        *error =
            QStringLiteral("unrtf failed: ") + QString::fromUtf8(process.readAllStandardError());
        return {};
    }
    QString html = QString::fromUtf8(process.readAllStandardOutput());
    html.remove(QRegularExpression(QStringLiteral("<!--.*?-->"),
                                   QRegularExpression::DotMatchesEverythingOption));
    html.remove(QRegularExpression(QStringLiteral("<head>.*</head>"),
                                   QRegularExpression::DotMatchesEverythingOption));
    html.replace(QRegularExpression(QStringLiteral("<[^>]*>")), QStringLiteral("\n"));
    QString decoded;
    qsizetype last = 0;
    const QRegularExpression entity(QStringLiteral("&#(\\d+);"));
    for (auto it = entity.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        decoded += html.mid(last, m.capturedStart() - last);
        decoded += QChar(m.captured(1).toInt());
        last = m.capturedEnd();
    }
    html = decoded + html.mid(last);
    static const QList<QPair<const char *, const char *>> named = {
        {"&quot;", "\""}, {"&lt;", "<"},    {"&gt;", ">"},     {"&laquo;", "«"}, {"&raquo;", "»"},
        {"&mdash;", "—"}, {"&ndash;", "–"}, {"&hellip;", "…"}, {"&nbsp;", " "},  {"&bull;", "•"},
        {"&ldquo;", "“"}, {"&rdquo;", "”"}, {"&lsquo;", "‘"},  {"&rsquo;", "’"}, {"&amp;", "&"}};
    for (const auto &[entityName, character] : named)
        html.replace(QLatin1String(entityName), QString::fromUtf8(character));
    QStringList lines;
    for (const QString &line : html.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    }
    return lines;
}

inline QString withoutBlanks(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

// Whether every text of expected stands in lines in that order; blanks and line breaks do not
// count, as the reader may break a cell's text into runs. Names the first one missing.
inline QString missingInOrder(const QStringList &lines, const QStringList &expected)
{
    const QString all = withoutBlanks(lines.join(QString()));
    qsizetype at = 0;
    for (const QString &expectedText : expected) {
        const QString text = withoutBlanks(expectedText);
        const qsizetype found = all.indexOf(text, at);
        if (found < 0)
            return text;
        at = found + text.size();
    }
    return QString();
}

} // namespace OutputTestKit
