#include "Tfmsjjxf.h"

Tfmsjjxf* fmsjjxf = nullptr;

Tfmsjjxf::Tfmsjjxf(QWidget* parent) : QDialog(parent)
{
    fmsjjxf = this;
}

Tfmsjjxf::~Tfmsjjxf()
{
    if (fmsjjxf == this)
        fmsjjxf = nullptr;
}
