#include "PedalStrokesModel.h"

#include "SessionRecord.h"

#include <algorithm>
#include <cmath>

namespace {

QString number(double value, int decimals)
{
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QStringLiteral("-");
}

} // namespace

PedalStrokesModel::PedalStrokesModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void PedalStrokesModel::setRide(const SessionRecord &session,
                                std::function<QString(double)> timeLabel)
{
    beginResetModel();
    label = std::move(timeLabel);
    turns.clear();
    turns.reserve(session.turns.size());
    for (const TurnRecord &turn : session.turns) {
        const QVector<double> left = PedalStroke::resampled(turn.angle, turn.forceLeft);
        const QVector<double> right = PedalStroke::resampled(turn.angle, turn.forceRight);
        turns.append({double(session.startDateTime.secsTo(turn.timestamp)),
                      PedalStroke::of(turn, left, right), turn.complete,
                      QVector<float>(left.cbegin(), left.cend()),
                      QVector<float>(right.cbegin(), right.cend())});
    }
    listed.clear();
    for (int i = 0; i < turns.size(); ++i)
        listed.append(i);
    std::stable_sort(listed.begin(), listed.end(),
                     [this](int a, int b) { return turns[a].time < turns[b].time; });
    endResetModel();
}

bool PedalStrokesModel::showRange(bool all, double from, double to)
{
    QVector<int> rows;
    for (int i = 0; i < turns.size(); ++i) {
        if (all || (turns[i].time >= from && turns[i].time <= to))
            rows.append(i);
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [this](int a, int b) { return turns[a].time < turns[b].time; });
    if (rows == listed)
        return false;
    beginResetModel();
    listed = rows;
    endResetModel();
    return true;
}

int PedalStrokesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : listed.size();
}

int PedalStrokesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString PedalStrokesModel::cell(int row, int column) const
{
    const Turn &turn = turns[listed[row]];
    const PedalStroke::Leg &leg = column <= LeftSmoothness ? turn.stroke.left : turn.stroke.right;
    switch (column) {
    case Time: return label ? label(turn.time) : QString::number(turn.time);
    case LeftPeak: case RightPeak: return number(leg.peak, 1);
    case LeftPeakAngle: case RightPeakAngle: return number(leg.peakAngle, 0);
    case LeftMean: case RightMean: return number(leg.mean, 1);
    case LeftMinimum: case RightMinimum: return number(leg.minimum, 1);
    case LeftSmoothness: case RightSmoothness: return number(leg.smoothness, 2);
    case LeftShare: return number(100.0 * turn.stroke.leftShare, 1);
    case File: return turn.complete ? QString() : tr("incomplete");
    default: return QString();
    }
}

QVariant PedalStrokesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= listed.size())
        return QVariant();
    if (role == Qt::DisplayRole)
        return cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() != File)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && !turns[listed[index.row()]].complete)
        return tr("The file of this turn ends before its end line: what it held is shown.");
    return QVariant();
}

QVariant PedalStrokesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const titles[] = {
        QT_TR_NOOP("Time"),
        QT_TR_NOOP("Left peak"), QT_TR_NOOP("Left peak at (°)"), QT_TR_NOOP("Left mean"),
        QT_TR_NOOP("Left minimum"), QT_TR_NOOP("Left smoothness"),
        QT_TR_NOOP("Right peak"), QT_TR_NOOP("Right peak at (°)"), QT_TR_NOOP("Right mean"),
        QT_TR_NOOP("Right minimum"), QT_TR_NOOP("Right smoothness"),
        QT_TR_NOOP("Left share (%)"), QT_TR_NOOP("File")};
    return section >= 0 && section < ColumnCount ? tr(titles[section]) : QVariant();
}

QVector<double> PedalStrokesModel::average(const QList<int> &rows, int leg) const
{
    QVector<double> sums(PedalStroke::degrees, 0.0);
    QVector<int> counts(PedalStroke::degrees, 0);
    for (int row : rows) {
        if (row < 0 || row >= listed.size())
            continue;
        const QVector<float> &curve = leg == 0 ? turns[listed[row]].left : turns[listed[row]].right;
        for (int degree = 0; degree < curve.size(); ++degree) {
            if (std::isfinite(curve[degree])) {
                sums[degree] += curve[degree];
                ++counts[degree];
            }
        }
    }
    QVector<double> mean(PedalStroke::degrees, qQNaN());
    for (int degree = 0; degree < PedalStroke::degrees; ++degree) {
        if (counts[degree] > 0)
            mean[degree] = sums[degree] / counts[degree];
    }
    return mean;
}

QString PedalStrokesModel::text(const QList<int> &rows) const
{
    QStringList lines;
    QStringList header;
    for (int column = 0; column < ColumnCount; ++column)
        header << headerData(column, Qt::Horizontal).toString();
    lines << header.join(QLatin1Char('\t'));
    QList<int> chosen = rows;
    if (chosen.isEmpty()) {
        for (int row = 0; row < listed.size(); ++row)
            chosen << row;
    }
    std::sort(chosen.begin(), chosen.end());
    for (int row : chosen) {
        if (row < 0 || row >= listed.size())
            continue;
        QStringList cells;
        for (int column = 0; column < ColumnCount; ++column)
            cells << cell(row, column);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
