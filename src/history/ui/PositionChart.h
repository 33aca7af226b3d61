#pragma once

#include "history/PositionChartModel.h"

class QChart;

// The chart of a keyword's positions: one line per engine, position 1 at the top, a gap where the
// site was not found. The caller owns the chart.
QChart* buildPositionChart(const PositionChartModel& model, const QString& keyword);
