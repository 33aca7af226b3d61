#pragma once

#include <QList>

// The labelled positions of the chart's position axis: 1, then the multiples of a round step
// (1, 2, 5, 10, 20, 50, 100 ...) up to the first that reaches the deepest position, at most
// eleven labels: 1, 50, 100 ... 300 for 251. The axis runs from the first label to the last.
QList<int> positionAxisLabels(int deepestPosition);
