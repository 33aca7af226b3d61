#pragma once

#include <QList>

// The labelled positions of the chart's position axis: 1, then the multiples of a round step
// (1, 2, 5, 10, 20, 50, 100 ...) up to the first that reaches the deepest position, in at most
// maxSteps steps: 1, 50, 100 ... 300 for 251 in ten steps, 1, 100, 200, 300 in five. The axis
// runs from the first label to the last.
QList<int> positionAxisLabels(int deepestPosition, int maxSteps = 10);
