#pragma once

#include <QDialog>

class Tfmlilunf : public QDialog
{
    Q_OBJECT
public:
    explicit Tfmlilunf(QWidget* parent = nullptr);
    ~Tfmlilunf() override;
};

extern Tfmlilunf* fmlilunf;
