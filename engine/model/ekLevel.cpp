#include "ekLevel.h"

#include <cmath>
#include <string>

#include "kovbase.h"
#include "nucore.h"

ekLevel::ekLevel(nuSigma* sigma, const wchar_t* name, uint8_t type, double N, double Nr,
                 double E, double W, double Taun, double Taup, double F)
    : sigma_(sigma)
{
    setDefaults();
    update(name, type, N, Nr, E, W, Taun, Taup, F);
}

ekLevel::ekLevel(nuSigma* sigma, const wchar_t* name, uint8_t type) : sigma_(sigma)
{
    setDefaults();
    update(name, type);
}

void ekLevel::setDefaults()
{
    kov_copyW(name_, NAME_SIZE, DEFAULT_NAME);
    type_ = TYPE_DONOR;
    N_ = 1e16;
    Nr_ = 1e19;
    E_ = 0.0;
    W_ = 0.0;
    Taun_ = 1e-7;
    Taup_ = 1e-7;
    F_ = 1.0;
}

void ekLevel::update(const wchar_t* name, uint8_t type, double N, double Nr, double E,
                     double W, double Taun, double Taup, double F)
{
    if (sigma_ == nullptr || sigma_->err != 0 || name == nullptr)
        return;

    const bool valid = kov_inRange(N, N_MIN, N_MAX) && kov_inRange(Nr, NR_MIN, NR_MAX)
                       && kov_inRange(E, E_MIN, E_MAX) && kov_inRange(W, W_MIN, W_MAX)
                       && kov_inRange(Taun, TAU_MIN, TAU_MAX) && kov_inRange(Taup, TAU_MIN, TAU_MAX)
                       && kov_inRange(F, F_MIN, F_MAX);
    if (!valid) {
        std::wstring line = L"invalid level parameters (N, Nr, E, Taun, Taup, F): ";
        const double printed[] = {N, Nr, E, Taun, Taup, F};
        const size_t count = sizeof(printed) / sizeof(printed[0]);
        for (size_t i = 0; i < count; ++i) {
            line += nu_numberText(printed[i]);
            if (i + 1 < count) {
                line += L" ";
            }
        }
        sigma_->error(line);
        return;
    }

    // The default name marks "no name given"; the own buffer needs no copy.
    if (name != name_ && !kov_equalsNoCase(name, DEFAULT_NAME))
        kov_copyW(name_, NAME_SIZE, name);
    type_ = type;
    N_ = N;
    Nr_ = Nr;
    E_ = E;
    W_ = W;
    Taun_ = Taun;
    Taup_ = Taup;
    F_ = std::round(F);  // half away from zero
}

void ekLevel::update(const wchar_t* name, uint8_t type)
{
    update(name, type, N_, Nr_, E_, W_, Taun_, Taup_, F_);
}

void ekLevel::update(double N, uint8_t type)
{
    update(name_, type, N, Nr_, E_, W_, Taun_, Taup_, F_);
}

void ekLevel::update(double N, double Nr, double E, double W, double Taun, double Taup)
{
    update(name_, type_, N, Nr, E, W, Taun, Taup, F_);
}

void ekLevel::update(double N, double Nr, double E, double W, double Taun, double Taup,
                     double F)
{
    update(name_, type_, N, Nr, E, W, Taun, Taup, F);
}

void ekLevel::copy(const ekLevel* other)
{
    if (other == nullptr || other == this)
        return;
    sigma_ = other->sigma_;
    kov_copyW(name_, NAME_SIZE, other->name_);
    type_ = other->type_;
    N_ = other->N_;
    Nr_ = other->Nr_;
    E_ = other->E_;
    W_ = other->W_;
    Taun_ = other->Taun_;
    Taup_ = other->Taup_;
    F_ = other->F_;
}

void ekLevel::getName(wchar_t* buffer) const
{
    if (buffer != nullptr)
        kov_copyW(buffer, NAME_SIZE, name_);
}
