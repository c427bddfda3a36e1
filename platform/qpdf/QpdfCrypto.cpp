// The GnuTLS functions qpdf calls, for a qpdf linked into the program:
// each forwards to GnuTLS, loaded the first time any of them is called.
// Reading a document that is not encrypted calls none of them. When the
// library cannot be loaded every call fails with GnuTLS's own "internal
// error" code, and qpdf reports the document as one it cannot decrypt.
#include "platform/core/SharedLibrary.h"

#include <gnutls/crypto.h>
#include <gnutls/gnutls.h>

// Defined here, for the static qpdf only: never seen by GnuTLS itself.
#define RZ_QPDF_CRYPTO extern "C" __attribute__((visibility("hidden")))

namespace rz {
namespace {

#define RZ_GNUTLS_FUNCTIONS(X) \
    X(cipher_init) \
    X(cipher_encrypt2) \
    X(cipher_decrypt2) \
    X(cipher_deinit) \
    X(cipher_get_key_size) \
    X(hash_init) \
    X(hash) \
    X(hash_deinit) \
    X(rnd) \
    X(strerror)

struct GnuTlsLibrary {
#define RZ_GNUTLS_MEMBER(name) decltype(&::gnutls_##name) name = nullptr;
    RZ_GNUTLS_FUNCTIONS(RZ_GNUTLS_MEMBER)
#undef RZ_GNUTLS_MEMBER
    bool loaded = false;
};

const GnuTlsLibrary& gnuTls()
{
    static const GnuTlsLibrary lib =
        RZ_SHARED_LIBRARY_TABLE(GnuTlsLibrary, RZ_GNUTLS_LIBRARY, RZ_GNUTLS_FUNCTIONS, "gnutls_");
    return lib;
}

} // namespace
} // namespace rz

RZ_QPDF_CRYPTO int gnutls_cipher_init(gnutls_cipher_hd_t* handle, gnutls_cipher_algorithm_t cipher,
                                      const gnutls_datum_t* key, const gnutls_datum_t* iv)
{
    const auto& lib = rz::gnuTls();
    return lib.loaded ? lib.cipher_init(handle, cipher, key, iv) : GNUTLS_E_INTERNAL_ERROR;
}

RZ_QPDF_CRYPTO int gnutls_cipher_encrypt2(gnutls_cipher_hd_t handle, const void* text, size_t textlen,
                                          void* ciphertext, size_t ciphertextlen)
{
    const auto& lib = rz::gnuTls();
    return lib.loaded ? lib.cipher_encrypt2(handle, text, textlen, ciphertext, ciphertextlen)
                      : GNUTLS_E_INTERNAL_ERROR;
}

RZ_QPDF_CRYPTO int gnutls_cipher_decrypt2(gnutls_cipher_hd_t handle, const void* ciphertext,
                                          size_t ciphertextlen, void* text, size_t textlen)
{
    const auto& lib = rz::gnuTls();
    return lib.loaded ? lib.cipher_decrypt2(handle, ciphertext, ciphertextlen, text, textlen)
                      : GNUTLS_E_INTERNAL_ERROR;
}

RZ_QPDF_CRYPTO void gnutls_cipher_deinit(gnutls_cipher_hd_t handle)
{
    // A handle exists only when the library was loaded.
    if (const auto& lib = rz::gnuTls(); lib.loaded)
        lib.cipher_deinit(handle);
}

RZ_QPDF_CRYPTO size_t gnutls_cipher_get_key_size(gnutls_cipher_algorithm_t algorithm)
{
    const auto& lib = rz::gnuTls();
    return lib.loaded ? lib.cipher_get_key_size(algorithm) : 0;
}

RZ_QPDF_CRYPTO int gnutls_hash_init(gnutls_hash_hd_t* handle, gnutls_digest_algorithm_t algorithm)
{
    const auto& lib = rz::gnuTls();
    return lib.loaded ? lib.hash_init(handle, algorithm) : GNUTLS_E_INTERNAL_ERROR;
}

RZ_QPDF_CRYPTO int gnutls_hash(gnutls_hash_hd_t handle, const void* text, size_t textlen)
{
    const auto& lib = rz::gnuTls();
    return lib.loaded ? lib.hash(handle, text, textlen) : GNUTLS_E_INTERNAL_ERROR;
}

RZ_QPDF_CRYPTO void gnutls_hash_deinit(gnutls_hash_hd_t handle, void* digest)
{
    if (const auto& lib = rz::gnuTls(); lib.loaded)
        lib.hash_deinit(handle, digest);
}

RZ_QPDF_CRYPTO int gnutls_rnd(gnutls_rnd_level_t level, void* data, size_t len)
{
    const auto& lib = rz::gnuTls();
    return lib.loaded ? lib.rnd(level, data, len) : GNUTLS_E_INTERNAL_ERROR;
}

RZ_QPDF_CRYPTO const char* gnutls_strerror(int error)
{
    const auto& lib = rz::gnuTls();
    return lib.loaded ? lib.strerror(error) : "the GnuTLS library could not be loaded";
}
