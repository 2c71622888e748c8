#pragma once

#include <QString>

#include <vector>

// The kinds of workload row (`gzl.fl`) and what belongs to each, in one place: the value the rows
// carry, the statement holder the main window shows them in, the teacher totals (`rydm`) their
// figures are summed into, and the computed columns their parameter rows write. Rows, tabs,
// entry dialogs, the calculation and its guard, the teacher list, the schema and the demo data
// read this table; a new kind is one row here plus its dialog and its parameter rows.
namespace WorkloadCategories {

enum class Id
{
    Theory,     // "理论实验"
    Internship, // "实习设计"
    Graduation, // "毕业设计"
    Supervision // "指导硕士"
};

// A teacher total: the `rydm` column and the same-named `gzl` column summed into it.
struct Total
{
    const char* column;
};

struct Category
{
    Id id;
    const char* fl;   // the value of gzl.fl
    const char* view; // the data module's holder of the selected teacher's rows of this kind
    std::vector<Total> totals;
    std::vector<const char*> computed; // gzl columns its parameter rows compute
};

// Every kind, in the order the document and the screens list them.
const std::vector<Category>& all();
const Category& of(Id id);
QString fl(Id id);

// The teacher totals of every kind, in the order of `rydm` and of the teacher list's columns
// (q11, q12, q2, q31, q32, q33); the grand total `q` is their sum.
const std::vector<const char*>& totalColumns();
// The gzl columns the calculation computes, of every kind: what its parameter rows may write.
const std::vector<const char*>& computedColumns();

} // namespace WorkloadCategories
