#pragma once

class QTableView;

namespace GridColumns {

// Keeps every column of a grid at least as wide as its title and its widest shown value,
// re-measured whenever the grid's rows are replaced.
void fitToContents(QTableView* view);

} // namespace GridColumns
