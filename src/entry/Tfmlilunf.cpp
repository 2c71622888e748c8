#include "Tfmlilunf.h"

Tfmlilunf* fmlilunf = nullptr;

Tfmlilunf::Tfmlilunf(QWidget* parent) : QDialog(parent)
{
    fmlilunf = this;
}

Tfmlilunf::~Tfmlilunf()
{
    if (fmlilunf == this)
        fmlilunf = nullptr;
}
