#pragma once

#include "Tdmmsdb.h"

// The data module that the engine works through, for the length of one command. A module that
// was current before (a program running the command in-process) is current again afterwards.
class DataModuleScope
{
public:
    explicit DataModuleScope(const QString& dataDir) : m_previous(dmmsdb) { m_module.connectTo(dataDir); }
    ~DataModuleScope()
    {
        m_module.database()->setTracer({});
        dmmsdb = m_previous;
    }
    DataModuleScope(const DataModuleScope&) = delete;
    DataModuleScope& operator=(const DataModuleScope&) = delete;

    Database& db() { return *m_module.database(); }

private:
    Tdmmsdb* m_previous;
    Tdmmsdb m_module;
};
