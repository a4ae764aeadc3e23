// The curve of the figures over the number of cards, and how each grows.
#include "BenchFigures.h"

#include <QFile>
#include <QMap>

#include <cmath>

namespace BenchFigures {

namespace {

// The columns in the order they first appear, and the value of each at each size.
struct Columns
{
    QStringList names;
    QMap<int, QHash<QString, double>> values;

    void add(int n, const QString &name, double value)
    {
        if (!names.contains(name))
            names.append(name);
        values[n].insert(name, value);
    }
};

} // namespace

std::pair<int, int> Report::writeCurve(const QString &path) const
{
    // A curve needs two sizes at least; the plain work is drawn beside the figures, not the
    // figures that serve others as baselines.
    QHash<QString, int> sizesOf;
    for (const Line &l : m_lines)
        sizesOf[curveName(l.what)] += l.measured && l.isTime;
    Columns figures, baselines;
    for (const Line &l : m_lines) {
        if (!l.measured || !l.isTime || sizesOf.value(curveName(l.what)) < 2)
            continue;
        figures.add(l.n, curveName(l.what), l.value);
        const bool plain = l.baseline.startsWith(QStringLiteral("plain")) ||
                           l.baseline.startsWith(QStringLiteral("read"));
        if (plain && l.baselineValue > 0)
            baselines.add(l.n, QStringLiteral("baseline: ") + l.baseline, l.baselineValue);
    }
    QByteArray csv = "cards";
    for (const QString &name : figures.names + baselines.names)
        csv += ',' + name.toUtf8().replace(',', ';').replace('"', "'"); // gnuplot splits at commas
    csv += '\n';
    for (auto size = figures.values.cbegin(); size != figures.values.cend(); ++size) {
        csv += QByteArray::number(size.key());
        for (const QString &name : figures.names)
            csv += ',' + (size->contains(name) ? QByteArray::number(size->value(name), 'f', 3)
                                               : QByteArray());
        const QHash<QString, double> &base = baselines.values.value(size.key());
        for (const QString &name : baselines.names)
            csv += ',' + (base.contains(name) ? QByteArray::number(base.value(name), 'f', 3)
                                              : QByteArray());
        csv += '\n';
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size())
        std::fprintf(stderr, "%s could not be written\n", qPrintable(path));
    return {int(figures.names.size()), int(baselines.names.size())};
}

void Report::printGrowth()
{
    Columns figures, baselines;
    for (const Line &l : m_lines) {
        if (!l.measured || !l.isTime)
            continue;
        figures.add(l.n, curveName(l.what), l.value);
        if (!l.baseline.isEmpty() && l.baselineValue > 0)
            baselines.add(l.n, curveName(l.what), l.baselineValue);
    }
    const auto powerOf = [](const Columns &c, const QString &name, int small, int large) {
        const double from = c.values.value(small).value(name);
        const double to = c.values.value(large).value(name);
        return from > 0 && to > 0 ? std::log(to / from) / std::log(double(large) / small) : 0.0;
    };
    std::printf("\n%-52s %21s %10s %10s  %s\n", "growth between the two largest sizes", "cards",
                "power", "baseline", "target");
    for (const QString &name : std::as_const(figures.names)) {
        QList<int> sizes;
        for (auto size = figures.values.cbegin(); size != figures.values.cend(); ++size) {
            // Below a millisecond the fixed costs and the noise hide the growth.
            if (size->value(name) >= 1.0)
                sizes.append(size.key());
        }
        if (sizes.size() < 2 || sizes.last() < 100000)
            continue;
        const int small = sizes.at(sizes.size() - 2);
        const int large = sizes.last();
        const double power = powerOf(figures, name, small, large);
        // A figure that grows no faster than the plain work it is measured against (the disk's
        // write of as many bytes) grows as the machine does, not as the program.
        const double baseline = powerOf(baselines, name, small, large);
        const bool met = power <= kMaxGrowth;
        m_growthMet = m_growthMet && met;
        const char *verdict = !met                                      ? "MISSED"
                              : power <= kLinear                        ? "linear"
                              : baseline > 0 && power <= baseline + 0.1 ? "as its baseline"
                                                                        : "finding";
        std::printf("%s %10d-%-10d %10.2f %10s  <= %.1f  %s\n", qPrintable(name.leftJustified(52)),
                    small, large, power,
                    baseline > 0 ? qPrintable(QString::number(baseline, 'f', 2)) : "", kMaxGrowth,
                    verdict);
    }
    std::fflush(stdout);
}

} // namespace BenchFigures
