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
    // OnClear empties the seven fields and their counters.
    ActionResult OnClear();

protected:
    // While "是否生成公钥" is "是", Px and Py follow every change of the private key.
    void OnFieldChanged(const std::string& field_id) override;
    void OnOptionChosen(const std::string& group_id) override;

private:
    // The choices of "国密算法类型", in order.
    enum Operation { kSign, kVerify, kExchange, kEncrypt, kDecrypt, kGenKey };
    // The choices of "随机数 k": the worked examples' fixed values, or fresh ones from the CSPRNG.
    enum class RandomK { Example, Random };

    // ChooseOperation applies the relabel / fill / show / enable table of one operation.
    void ChooseOperation(Operation operation);
    // GeneratePublicKey fills Px and Py from the private key ("是"), or empties them.
    void GeneratePublicKey(bool generate);
    void Empty(std::string_view field_id);
    void ShowRows(bool public_key, bool private_key, bool user_id, bool s);
    Sm2CipherOrder CipherOrder() const;
    // The random number of an operation: the example's fixed value, or kSm2FreshRandom.
    std::string_view RandomOr(std::string_view example) const;
    // ShowPrivateKeyLabel warns in the private key's label while signing with the fixed example k
    // and a key that is not one of the examples': two such signatures reveal the key.
    void ShowPrivateKeyLabel();

    OptionOf<Operation> m_op;
    OptionOf<YesNo> m_genpub;
    // The choices of "密文格式" are the two orders, C1C2C3 first.
    OptionOf<Sm2CipherOrder> m_format;
    OptionOf<RandomK> m_k;
};
