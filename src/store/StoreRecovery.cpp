#include "store/StoreRecovery.h"

#include "store/Database.h"
#include "store/HeldTemporary.h"
#include "store/Leftovers.h"
#include "store/RestoreSwitch.h"
#include "store/StoreBackup.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace {

QStringList restoreWorkDirectories(const QString& dataDir)
{
    QStringList found;
    const QDir dir(dataDir);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        if (Leftovers::matches(name, Leftovers::RestoreWork))
            found << dir.filePath(name);
    }
    return found;
}

// A marked copy is used only as it was checked: one damaged since (a power cut) is not.
bool copyIsWhole(const QString& workDir)
{
    const QString copy = Database::storePath(workDir);
    if (!QFileInfo::exists(copy))
        return true; // already in the store's place
    try {
        StoreBackup::check(copy);
        return true;
    } catch (const StoreError&) {
        return false;
    }
}

} // namespace

namespace StoreRecovery {

bool restorePending(const QString& dataDir)
{
    return !restoreWorkDirectories(dataDir).isEmpty();
}

Outcome recover(const QString& dataDir)
{
    Outcome outcome;
    for (const QString& path : restoreWorkDirectories(dataDir)) {
        // A running restore holds its work directory from the moment it makes it.
        std::optional<HeldTemporary> work =
            HeldTemporary::takeOver(path, HeldTemporary::Kind::Directory, std::chrono::seconds(0));
        if (!work)
            continue;
        if (RestoreSwitch::isReady(path) && copyIsWhole(path)) {
            const QString source = RestoreSwitch::sourceOf(path);
            try {
                outcome.finished << FinishedRestore{source, RestoreSwitch::complete(path, dataDir)};
            } catch (const StoreError&) {
                work->keep(); // for the next run to complete
                throw;
            }
        } else if (QFileInfo::exists(Database::storePath(path))) {
            ++outcome.undone;
        }
        // The work directory goes with `work`.
    }
    outcome.removed = Leftovers::removeDead(dataDir);
    return outcome;
}

} // namespace StoreRecovery
