// CSm2Page: SM2 signature, verification, key exchange, encryption and decryption on one set of
// fields; choosing an operation relabels the fields, fills them with the standard's worked-example
// inputs, shows the rows it uses and enables its button.
#pragma once

#include <string>
#include <string_view>

#include "common/page.h"
#include "crypto/pk/sm2.h"

class CSm2Page : public CPage {
public:
    // The choices of "密文格式": the two orders of C1, C2, C3, and GM/T 0009's DER.
    enum class CipherFormat { C1C2C3, C1C3C2, Der };
    // The choices of "签名格式": R and S apart, or GM/T 0009's DER SEQUENCE.
    enum class SignatureFormat { Raw, Der };
    // The choices of "角色": both parties of the exchange in one run, or one of them.
    enum class ExchangeRole { Both, Initiator, Responder };

    CSm2Page();

    // OnSign signs the message bytes for the user ID with the private key into R and S.
    ActionResult OnSign();
    // OnVerify checks R and S over the message and user ID with (Px, Py); the outcome is a box.
    ActionResult OnVerify();
    // OnExchange runs both parties of the key exchange (IDs in the message and user ID fields,
    // private keys in R and S); the outcome is a box, no field changes.
    ActionResult OnExchange();
    // OnEncrypt encrypts the message for (Px, Py) into R in the chosen ciphertext order.
    ActionResult OnEncrypt();
    // OnDecrypt decrypts the ciphertext in the message field with the private key into R; a wrong
    // key or a damaged ciphertext is refused.
    ActionResult OnDecrypt();
    // OnGenKey draws a private key from the CSPRNG into the private key field with its public key
    // in Px and Py.
    ActionResult OnGenKey();
    // OnImport reads the PEM or DER (hex) key in the PEM field into the private key and (Px, Py);
    // a public key empties the private key.
    ActionResult OnImport();
    // OnExport writes the PEM of the private key, or of (Px, Py) when there is none.
    ActionResult OnExport();
    // OnClear empties the seven fields and their counters.
    ActionResult OnClear();

protected:
    // While "是否生成公钥" is "是", Px and Py follow every change of the private key.
    void OnFieldChanged(const std::string& field_id) override;
    void OnOptionChosen(const std::string& group_id) override;

private:
    // The choices of "国密算法类型", in order.
    enum Operation { kSign, kVerify, kExchange, kEncrypt, kDecrypt, kGenKey, kImport, kExport };
    // The choices of "随机数 k": the worked examples' fixed values, or fresh ones from the CSPRNG.
    enum class RandomK { Example, Random };

    // ChooseOperation applies the relabel / fill / show / enable table of one operation.
    void ChooseOperation(Operation operation);
    // GeneratePublicKey fills Px and Py from the private key ("是"), or empties them.
    void GeneratePublicKey(bool generate);
    void Empty(std::string_view field_id);
    void ShowRows(bool public_key, bool private_key, bool user_id, bool s);
    Sm2CipherOrder CipherOrder() const;
    // ShowSignatureRows shows R and S, or the DER signature, for signing and verifying.
    void ShowSignatureRows();
    // ShowExchangeRows lays the exchange out for the role: both parties, or one of them.
    void ShowExchangeRows();
    // FillExchangeExample fills one party's fields with the worked example's inputs.
    void FillExchangeExample(ExchangeRole role);
    // OnExchangeAsParty runs one party's side of the exchange.
    ActionResult OnExchangeAsParty();
    // The random number of an operation: the example's fixed value, or kSm2FreshRandom.
    std::string_view RandomOr(std::string_view example) const;
    // ShowPrivateKeyLabel warns in the private key's label while signing with the fixed example k
    // and a key that is not one of the examples': two such signatures reveal the key.
    void ShowPrivateKeyLabel();

    OptionOf<Operation> m_op;
    OptionOf<YesNo> m_genpub;
    OptionOf<CipherFormat> m_format;
    OptionOf<SignatureFormat> m_sigformat;
    OptionOf<ExchangeRole> m_role;
    OptionOf<RandomK> m_k;
};
