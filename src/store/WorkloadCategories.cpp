#include "store/WorkloadCategories.h"

namespace WorkloadCategories {

const std::vector<Category>& all()
{
    static const std::vector<Category> categories{
        {Id::Theory,
         "理论实验",
         "dtllsj",
         {{"q11"}, {"q12"}, {"q2"}},
         {"q1", "q11", "q12", "k11", "s1", "k12", "kk12", "s2", "c12", "k2", "q2"}},
        {Id::Internship, "实习设计", "dtsxsj", {{"q31"}}, {"s3", "k31", "q31"}},
        {Id::Graduation, "毕业设计", "dtbysj", {{"q32"}}, {"q32"}},
        {Id::Supervision, "指导硕士", "dtzdss", {{"q33"}}, {"q33"}},
    };
    return categories;
}

const Category& of(Id id)
{
    for (const Category& c : all())
        if (c.id == id)
            return c;
    return all().front();
}

QString fl(Id id)
{
    return QString::fromUtf8(of(id).fl);
}

const std::vector<const char*>& totalColumns()
{
    static const std::vector<const char*> columns = [] {
        std::vector<const char*> out;
        for (const Category& c : all())
            for (const Total& t : c.totals)
                out.push_back(t.column);
        return out;
    }();
    return columns;
}

const std::vector<const char*>& computedColumns()
{
    static const std::vector<const char*> columns = [] {
        std::vector<const char*> out;
        for (const Category& c : all())
            out.insert(out.end(), c.computed.begin(), c.computed.end());
        return out;
    }();
    return columns;
}

} // namespace WorkloadCategories
