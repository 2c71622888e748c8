#pragma once

#include <QDialog>

class Tfmsjjxf : public QDialog
{
    Q_OBJECT
public:
    explicit Tfmsjjxf(QWidget* parent = nullptr);
    ~Tfmsjjxf() override;
};

extern Tfmsjjxf* fmsjjxf;
