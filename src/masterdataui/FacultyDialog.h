#pragma once

#include "masterdataui/MasterDataDialog.h"

class QLineEdit;

// "录入院部资料": adds a faculty, or renames the current faculty of the faculty list.
class FacultyDialog : public MasterDataDialog
{
    Q_OBJECT
public:
    explicit FacultyDialog(DataModule& data, QWidget* parent = nullptr);

protected:
    Outcome save(Mode mode, const QString& oldKey) override;

private:
    QLineEdit* m_name;
};
