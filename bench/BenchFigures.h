#pragma once

// Measuring and reporting the benchmark's figures.
#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <type_traits>

#ifdef __GLIBC__
#include <malloc.h>
#endif

class CardTable;
class ReferenceLists;

namespace BenchFigures {

template <typename F> double timed(F &&f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    return timer.nsecsElapsed() / 1e6;
}

// The median of runs measurements in milliseconds. A callable that returns a double measures
// itself (to leave its preparation out); any other is timed whole.
template <typename F> double median(int runs, F &&f)
{
    QList<double> ms;
    for (int i = 0; i < runs; ++i) {
        if constexpr (std::is_same_v<std::invoke_result_t<F>, double>)
            ms.append(f());
        else
            ms.append(timed(f));
    }
    std::sort(ms.begin(), ms.end());
    return ms.at(ms.size() / 2);
}

// Bytes the heap holds in use now; 0 where the C library does not tell.
inline qint64 heapInUse()
{
#ifdef __GLIBC__
    return qint64(mallinfo2().uordblks);
#else
    return 0;
#endif
}

struct Target
{
    enum Kind { None, Ratio, Absolute } kind = None;
    double value = 0;
    static Target ratio(double r) { return {Ratio, r}; }
    // 0: no target at this size
    static Target absolute(double ms) { return ms > 0 ? Target{Absolute, ms} : Target{}; }
};

class Report
{
public:
    void note(int n, const QString &text) { m_lines.append({n, text, {}, 0, {}, 0, {}, false}); }

    // A time in ms, with its baseline (empty: none) and target.
    void add(int n, const QString &what, double ms, const QString &baseline, double baselineMs,
             Target target)
    {
        m_lines.append({n, what, QStringLiteral("%1 ms").arg(ms, 0, 'f', 1), ms, baseline,
                        baselineMs, target, true});
    }
    // A quantity compared with another, as a ratio (memory).
    void addRatio(int n, const QString &what, double value, const QString &baseline,
                  double baselineValue, Target target)
    {
        m_lines.append({n, what, QString::number(value, 'f', 1), value, baseline, baselineValue,
                        target, true});
    }

    void print() const
    {
        std::printf("%-8s %-44s %12s  %-32s %10s %8s  %s\n", "cards", "figure", "ours", "baseline",
                    "baseline", "ratio", "target");
        for (const Line &l : m_lines) {
            if (!l.measured) {
                std::printf("\n%-8d %s\n", l.n, qPrintable(l.what));
                continue;
            }
            const bool hasBase = !l.baseline.isEmpty() && l.baselineValue > 0;
            const double ratio = hasBase ? l.value / l.baselineValue : 0;
            std::printf("%-8d %-44s %12s  %-32s %10s %8s  %s\n", l.n, qPrintable(l.what),
                        qPrintable(l.shown), qPrintable(l.baseline),
                        hasBase ? qPrintable(QString::number(l.baselineValue, 'f', 1)) : "",
                        hasBase ? qPrintable(QStringLiteral("%1x").arg(ratio, 0, 'f', 2)) : "",
                        qPrintable(targetText(l)));
        }
        std::fflush(stdout);
    }

    bool allMet() const
    {
        return std::all_of(m_lines.begin(), m_lines.end(), [](const Line &l) { return met(l); });
    }

private:
    struct Line
    {
        int n;
        QString what;
        QString shown;
        double value;
        QString baseline;
        double baselineValue;
        Target target;
        bool measured;
    };
    static bool met(const Line &l)
    {
        switch (l.target.kind) {
        case Target::Ratio:
            return l.baselineValue <= 0 || l.value <= l.target.value * l.baselineValue;
        case Target::Absolute:
            return l.value <= l.target.value;
        case Target::None:
            break;
        }
        return true;
    }
    static QString targetText(const Line &l)
    {
        const QString verdict = met(l) ? QStringLiteral("met") : QStringLiteral("MISSED");
        switch (l.target.kind) {
        case Target::Ratio:
            return QStringLiteral("<= %1x  %2").arg(l.target.value).arg(verdict);
        case Target::Absolute:
            return QStringLiteral("< %1 ms  %2").arg(l.target.value).arg(verdict);
        case Target::None:
            break;
        }
        return QString();
    }

    QList<Line> m_lines;
};

// Figures of the parts above the data layer (the card list, the printed list, the export);
// measured on the table as it stands after the data layer's figures.
void runExtraFigures(int n, int runs, CardTable &table, const ReferenceLists &lists,
                     const QString &folder, Report &report);

} // namespace BenchFigures
