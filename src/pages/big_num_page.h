// CBigNumPage: the calculator for non-negative integers of up to 310 decimal digits.
#pragma once

#include "common/page.h"
#include "crypto/pk/big_number.h"

class CBigNumPage : public CPage {
public:
    CBigNumPage();

private:
    ActionResult OnAdd();
    ActionResult OnSub();
    ActionResult OnMul();
    ActionResult OnDiv();
    ActionResult OnMod();
    ActionResult OnInverse();
    ActionResult OnHex();
    ActionResult OnDec();

    // ReadOperands runs the common tests (lengths, then the digits of A and, unless use_b is
    // false, of B) and reads A and B in decimal; sum_length tests the sum of the lengths.
    ActionResult ReadOperands(bool use_b, bool sum_length);

    CBigNumber m_a;
    CBigNumber m_b;
    CBigNumber m_c;
};
