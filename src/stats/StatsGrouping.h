#pragma once

#include <QString>

#include <optional>
#include <vector>

// What the statistics group the teachers by: their faculty, their section, or an attribute of
// the teacher (title `ryzc`, nature `ryxz`, post `rygw`).
enum class StatsGrouping
{
    Faculty,
    Section,
    Title,
    Nature,
    Post
};

namespace StatsGroupings {

const std::vector<StatsGrouping>& all();
// The command line's word: faculty, section, title, nature, post.
QString word(StatsGrouping grouping);
std::optional<StatsGrouping> fromWord(const QString& word);
// The screen's word: 院部, 教研室, 职称, 性质, 岗位.
QString caption(StatsGrouping grouping);
// The values of an attribute in the order the teacher dialog offers them; a group of another
// value comes after these. Empty for faculties and sections, which keep the store's order.
const QStringList& knownValues(StatsGrouping grouping);

} // namespace StatsGroupings
