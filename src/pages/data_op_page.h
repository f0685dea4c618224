// CDataOpPage: the "数据运算" tab. Byte-wise AND, OR, XOR, NOT, XOR-sum, add-sum and multi-byte
// addition and subtraction of one or two fields of hex data.
#pragma once

#include "common/page.h"

class CDataOpPage : public CPage {
public:
    CDataOpPage();

    // The choices of "运算选择", in the window's reading order (two rows of four).
    enum class Operation { And, Xor, XorSum, Add, Or, Not, Sum, Sub };

protected:
    void OnOptionChosen(const std::string& group_id) override;

private:
    ActionResult OnCompute();
    ActionResult OnClear();
    // EnableSource2 enables source 2 for the two-source operations and disables it for the others.
    void EnableSource2();

    OptionOf<Operation> m_op;
};
