#include "dsp/portableMath.h"

#include <cstdint>
#include <cstring>
#include <limits>

// Two steps. A first try in mostly plain arithmetic (exp, log, pow, tanh)
// carries an error bound and returns when every value within it rounds the
// same way, which settles nearly all arguments. Otherwise, and for the other
// functions, double-double arithmetic: the hi + lo pairs carry about 100 bits,
// the polynomial tails only what their size needs, and one rounding of hi + lo
// gives the result. The tables hold the constants to 106 bits (value rounded
// to double, remainder rounded to double).
namespace {

// 2^(j/64), j = 0..63, as hi + lo.
const double kExp2Table[64][2] = {
    {0x1.0000000000000p+0, 0x0.0p+0},
    {0x1.02c9a3e778061p+0, -0x1.19083535b085dp-56},
    {0x1.059b0d3158574p+0, 0x1.d73e2a475b465p-55},
    {0x1.0874518759bc8p+0, 0x1.186be4bb284ffp-57},
    {0x1.0b5586cf9890fp+0, 0x1.8a62e4adc610bp-54},
    {0x1.0e3ec32d3d1a2p+0, 0x1.03a1727c57b53p-59},
    {0x1.11301d0125b51p+0, -0x1.6c51039449b3ap-54},
    {0x1.1429aaea92de0p+0, -0x1.32fbf9af1369ep-54},
    {0x1.172b83c7d517bp+0, -0x1.19041b9d78a76p-55},
    {0x1.1a35beb6fcb75p+0, 0x1.e5b4c7b4968e4p-55},
    {0x1.1d4873168b9aap+0, 0x1.e016e00a2643cp-54},
    {0x1.2063b88628cd6p+0, 0x1.dc775814a8495p-55},
    {0x1.2387a6e756238p+0, 0x1.9b07eb6c70573p-54},
    {0x1.26b4565e27cddp+0, 0x1.2bd339940e9d9p-55},
    {0x1.29e9df51fdee1p+0, 0x1.612e8afad1255p-55},
    {0x1.2d285a6e4030bp+0, 0x1.0024754db41d5p-54},
    {0x1.306fe0a31b715p+0, 0x1.6f46ad23182e4p-55},
    {0x1.33c08b26416ffp+0, 0x1.32721843659a6p-54},
    {0x1.371a7373aa9cbp+0, -0x1.63aeabf42eae2p-54},
    {0x1.3a7db34e59ff7p+0, -0x1.5e436d661f5e3p-56},
    {0x1.3dea64c123422p+0, 0x1.ada0911f09ebcp-55},
    {0x1.4160a21f72e2ap+0, -0x1.ef3691c309278p-58},
    {0x1.44e086061892dp+0, 0x1.89b7a04ef80d0p-59},
    {0x1.486a2b5c13cd0p+0, 0x1.3c1a3b69062f0p-56},
    {0x1.4bfdad5362a27p+0, 0x1.d4397afec42e2p-56},
    {0x1.4f9b2769d2ca7p+0, -0x1.4b309d25957e3p-54},
    {0x1.5342b569d4f82p+0, -0x1.07abe1db13cadp-55},
    {0x1.56f4736b527dap+0, 0x1.9bb2c011d93adp-54},
    {0x1.5ab07dd485429p+0, 0x1.6324c054647adp-54},
    {0x1.5e76f15ad2148p+0, 0x1.ba6f93080e65ep-54},
    {0x1.6247eb03a5585p+0, -0x1.383c17e40b497p-54},
    {0x1.6623882552225p+0, -0x1.bb60987591c34p-54},
    {0x1.6a09e667f3bcdp+0, -0x1.bdd3413b26456p-54},
    {0x1.6dfb23c651a2fp+0, -0x1.bbe3a683c88abp-57},
    {0x1.71f75e8ec5f74p+0, -0x1.16e4786887a99p-55},
    {0x1.75feb564267c9p+0, -0x1.0245957316dd3p-54},
    {0x1.7a11473eb0187p+0, -0x1.41577ee04992fp-55},
    {0x1.7e2f336cf4e62p+0, 0x1.05d02ba15797ep-56},
    {0x1.82589994cce13p+0, -0x1.d4c1dd41532d8p-54},
    {0x1.868d99b4492edp+0, -0x1.fc6f89bd4f6bap-54},
    {0x1.8ace5422aa0dbp+0, 0x1.6e9f156864b27p-54},
    {0x1.8f1ae99157736p+0, 0x1.5cc13a2e3976cp-55},
    {0x1.93737b0cdc5e5p+0, -0x1.75fc781b57ebcp-57},
    {0x1.97d829fde4e50p+0, -0x1.d185b7c1b85d1p-54},
    {0x1.9c49182a3f090p+0, 0x1.c7c46b071f2bep-56},
    {0x1.a0c667b5de565p+0, -0x1.359495d1cd533p-54},
    {0x1.a5503b23e255dp+0, -0x1.d2f6edb8d41e1p-54},
    {0x1.a9e6b5579fdbfp+0, 0x1.0fac90ef7fd31p-54},
    {0x1.ae89f995ad3adp+0, 0x1.7a1cd345dcc81p-54},
    {0x1.b33a2b84f15fbp+0, -0x1.2805e3084d708p-57},
    {0x1.b7f76f2fb5e47p+0, -0x1.5584f7e54ac3bp-56},
    {0x1.bcc1e904bc1d2p+0, 0x1.23dd07a2d9e84p-55},
    {0x1.c199bdd85529cp+0, 0x1.11065895048ddp-55},
    {0x1.c67f12e57d14bp+0, 0x1.2884dff483cadp-54},
    {0x1.cb720dcef9069p+0, 0x1.503cbd1e949dbp-56},
    {0x1.d072d4a07897cp+0, -0x1.cbc3743797a9cp-54},
    {0x1.d5818dcfba487p+0, 0x1.2ed02d75b3707p-55},
    {0x1.da9e603db3285p+0, 0x1.c2300696db532p-54},
    {0x1.dfc97337b9b5fp+0, -0x1.1a5cd4f184b5cp-54},
    {0x1.e502ee78b3ff6p+0, 0x1.39e8980a9cc8fp-55},
    {0x1.ea4afa2a490dap+0, -0x1.e9c23179c2893p-54},
    {0x1.efa1bee615a27p+0, 0x1.dc7f486a4b6b0p-54},
    {0x1.f50765b6e4540p+0, 0x1.9d3e12dd8a18bp-54},
    {0x1.fa7c1819e90d8p+0, 0x1.74853f3a5931ep-55},
};

// 2^(j/256), j = 0..255, as hi + lo: the finer steps of the first tries.
}   // namespace

namespace portableMath {
namespace detail {

const double kExp2Fine[256][2] = {
    {0x1.0000000000000p+0, 0x0.0p+0},
    {0x1.00b1afa5abcbfp+0, -0x1.4f6b2a7609f71p-55},
    {0x1.0163da9fb3335p+0, 0x1.b61299ab8cdb7p-54},
    {0x1.02168143b0281p+0, -0x1.2bf310fc54eb6p-55},
    {0x1.02c9a3e778061p+0, -0x1.19083535b085dp-56},
    {0x1.037d42e11bbccp+0, 0x1.56811eeade11ap-57},
    {0x1.04315e86e7f85p+0, -0x1.0a31c1977c96ep-54},
    {0x1.04e5f72f654b1p+0, 0x1.4c3793aa0d08dp-55},
    {0x1.059b0d3158574p+0, 0x1.d73e2a475b465p-55},
    {0x1.0650a0e3c1f89p+0, -0x1.5cb7b5799c397p-54},
    {0x1.0706b29ddf6dep+0, -0x1.c91dfe2b13c27p-55},
    {0x1.07bd42b72a836p+0, 0x1.3233454458700p-55},
    {0x1.0874518759bc8p+0, 0x1.186be4bb284ffp-57},
    {0x1.092bdf66607e0p+0, -0x1.68063800a3fd1p-54},
    {0x1.09e3ecac6f383p+0, 0x1.1487818316136p-54},
    {0x1.0a9c79b1f3919p+0, 0x1.5d16c873d1d38p-55},
    {0x1.0b5586cf9890fp+0, 0x1.8a62e4adc610bp-54},
    {0x1.0c0f145e46c85p+0, 0x1.4f98906d21cefp-54},
    {0x1.0cc922b7247f7p+0, 0x1.01edc16e24f71p-54},
    {0x1.0d83b23395decp+0, -0x1.bc14de43f316ap-54},
    {0x1.0e3ec32d3d1a2p+0, 0x1.03a1727c57b53p-59},
    {0x1.0efa55fdfa9c5p+0, -0x1.49db9bc54021bp-54},
    {0x1.0fb66affed31bp+0, -0x1.b9bedc44ebd7bp-57},
    {0x1.1073028d7233ep+0, 0x1.d46eb1692fdd5p-55},
    {0x1.11301d0125b51p+0, -0x1.6c51039449b3ap-54},
    {0x1.11edbab5e2ab6p+0, -0x1.ca454f703fb72p-54},
    {0x1.12abdc06c31ccp+0, -0x1.1b514b36ca5c7p-58},
    {0x1.136a814f204abp+0, -0x1.7108fba48dcf0p-57},
    {0x1.1429aaea92de0p+0, -0x1.32fbf9af1369ep-54},
    {0x1.14e95934f312ep+0, -0x1.b91e839bf44abp-55},
    {0x1.15a98c8a58e51p+0, 0x1.2406ab9eeab0ap-55},
    {0x1.166a45471c3c2p+0, 0x1.8f23b82ea1a32p-58},
    {0x1.172b83c7d517bp+0, -0x1.19041b9d78a76p-55},
    {0x1.17ed48695bbc0p+0, 0x1.09e3fe2ac5a64p-56},
    {0x1.18af9388c8deap+0, -0x1.11023d1970f6cp-54},
    {0x1.1972658375d2fp+0, 0x1.4aadd85f17e08p-54},
    {0x1.1a35beb6fcb75p+0, 0x1.e5b4c7b4968e4p-55},
    {0x1.1af99f8138a1cp+0, 0x1.7bf85a4b69280p-54},
    {0x1.1bbe084045cd4p+0, -0x1.95386352ef607p-54},
    {0x1.1c82f95281c6bp+0, 0x1.009778010f8c9p-54},
    {0x1.1d4873168b9aap+0, 0x1.e016e00a2643cp-54},
    {0x1.1e0e75eb44027p+0, -0x1.6fdd8088cb6dep-54},
    {0x1.1ed5022fcd91dp+0, -0x1.1df98027bb78cp-54},
    {0x1.1f9c18438ce4dp+0, -0x1.bf524a097af5cp-54},
    {0x1.2063b88628cd6p+0, 0x1.dc775814a8495p-55},
    {0x1.212be3578a819p+0, 0x1.3592d2cfcaac9p-54},
    {0x1.21f49917ddc96p+0, 0x1.2a97e9494a5eep-55},
    {0x1.22bdda27912d1p+0, 0x1.d34fb5577d69fp-55},
    {0x1.2387a6e756238p+0, 0x1.9b07eb6c70573p-54},
    {0x1.2451ffb82140ap+0, 0x1.acfcc911ca996p-55},
    {0x1.251ce4fb2a63fp+0, 0x1.ac155bef4f4a4p-55},
    {0x1.25e85711ece75p+0, 0x1.3e1a24ac31b2cp-54},
    {0x1.26b4565e27cddp+0, 0x1.2bd339940e9d9p-55},
    {0x1.2780e341ddf29p+0, 0x1.e067c05f9e76cp-54},
    {0x1.284dfe1f56381p+0, -0x1.a4c3a8c3f0d7ep-54},
    {0x1.291ba7591bb70p+0, -0x1.2cc7228401cbdp-55},
    {0x1.29e9df51fdee1p+0, 0x1.612e8afad1255p-55},
    {0x1.2ab8a66d10f13p+0, -0x1.95743191690a7p-54},
    {0x1.2b87fd0dad990p+0, -0x1.10adcd6381aa4p-59},
    {0x1.2c57e39771b2fp+0, -0x1.50145a6eb5124p-54},
    {0x1.2d285a6e4030bp+0, 0x1.0024754db41d5p-54},
    {0x1.2df961f641589p+0, 0x1.d16cffbbce198p-54},
    {0x1.2ecafa93e2f56p+0, 0x1.1ca0f45d52383p-56},
    {0x1.2f9d24abd886bp+0, -0x1.53c55532bda93p-57},
    {0x1.306fe0a31b715p+0, 0x1.6f46ad23182e4p-55},
    {0x1.31432edeeb2fdp+0, 0x1.959a3f3f3fcd1p-55},
    {0x1.32170fc4cd831p+0, 0x1.a9ce78e18047cp-55},
    {0x1.32eb83ba8ea32p+0, -0x1.c45e83cb4f318p-54},
    {0x1.33c08b26416ffp+0, 0x1.32721843659a6p-54},
    {0x1.3496266e3fa2dp+0, -0x1.35a75930881a4p-55},
    {0x1.356c55f929ff1p+0, -0x1.b5cee5c4e4628p-55},
    {0x1.36431a2de883bp+0, -0x1.c3144a06cb85ep-55},
    {0x1.371a7373aa9cbp+0, -0x1.63aeabf42eae2p-54},
    {0x1.37f26231e754ap+0, -0x1.9f5ca9eceb23cp-54},
    {0x1.38cae6d05d866p+0, -0x1.e958d3c9904bdp-54},
    {0x1.39a401b7140efp+0, -0x1.9a9a5fc8e2934p-54},
    {0x1.3a7db34e59ff7p+0, -0x1.5e436d661f5e3p-56},
    {0x1.3b57fbfec6cf4p+0, 0x1.54c66e26fff18p-54},
    {0x1.3c32dc313a8e5p+0, -0x1.efff8375d29c3p-54},
    {0x1.3d0e544ede173p+0, 0x1.fe8d08c284c71p-56},
    {0x1.3dea64c123422p+0, 0x1.ada0911f09ebcp-55},
    {0x1.3ec70df1c5175p+0, -0x1.af6637b8c9bcap-55},
    {0x1.3fa4504ac801cp+0, -0x1.7d023f956f9f3p-54},
    {0x1.40822c367a024p+0, 0x1.bddf8b6f4d048p-55},
    {0x1.4160a21f72e2ap+0, -0x1.ef3691c309278p-58},
    {0x1.423fb2709468ap+0, -0x1.8462dc0b314ddp-54},
    {0x1.431f5d950a897p+0, -0x1.1c7dde35f7999p-55},
    {0x1.43ffa3f84b9d4p+0, 0x1.880be9704c003p-55},
    {0x1.44e086061892dp+0, 0x1.89b7a04ef80d0p-59},
    {0x1.45c2042a7d232p+0, -0x1.8641982fb1f8ep-57},
    {0x1.46a41ed1d0057p+0, 0x1.c944bd1648a76p-54},
    {0x1.4786d668b3237p+0, -0x1.c20f0ed445733p-54},
    {0x1.486a2b5c13cd0p+0, 0x1.3c1a3b69062f0p-56},
    {0x1.494e1e192aed2p+0, -0x1.3b2895e499ea0p-55},
    {0x1.4a32af0d7d3dep+0, 0x1.9cb62f3d1be56p-54},
    {0x1.4b17dea6db7d7p+0, -0x1.125b87f2897f0p-55},
    {0x1.4bfdad5362a27p+0, 0x1.d4397afec42e2p-56},
    {0x1.4ce41b817c114p+0, 0x1.05e29690abd5dp-54},
    {0x1.4dcb299fddd0dp+0, 0x1.8ecdbbc6a7833p-54},
    {0x1.4eb2d81d8abffp+0, -0x1.5257d2e5d7a52p-54},
    {0x1.4f9b2769d2ca7p+0, -0x1.4b309d25957e3p-54},
    {0x1.508417f4531eep+0, 0x1.a249b49b7465fp-56},
    {0x1.516daa2cf6642p+0, -0x1.f768569bd93efp-55},
    {0x1.5257de83f4eefp+0, -0x1.c998d43efef71p-56},
    {0x1.5342b569d4f82p+0, -0x1.07abe1db13cadp-55},
    {0x1.542e2f4f6ad27p+0, 0x1.7926d192d5f7ep-55},
    {0x1.551a4ca5d920fp+0, -0x1.d689cefede59bp-55},
    {0x1.56070dde910d2p+0, -0x1.0fb6e168eebf0p-54},
    {0x1.56f4736b527dap+0, 0x1.9bb2c011d93adp-54},
    {0x1.57e27dbe2c4cfp+0, -0x1.0b98c8a57b9c4p-54},
    {0x1.58d12d497c7fdp+0, 0x1.295e15b9a1de8p-55},
    {0x1.59c0827ff07ccp+0, -0x1.7e2cee467e60fp-54},
    {0x1.5ab07dd485429p+0, 0x1.6324c054647adp-54},
    {0x1.5ba11fba87a03p+0, -0x1.b77a14c233e1ap-54},
    {0x1.5c9268a5946b7p+0, 0x1.c4b1b816986a2p-60},
    {0x1.5d84590998b93p+0, -0x1.cd6a7a8b45643p-54},
    {0x1.5e76f15ad2148p+0, 0x1.ba6f93080e65ep-54},
    {0x1.5f6a320dceb71p+0, -0x1.9eadde3cdcf92p-55},
    {0x1.605e1b976dc09p+0, -0x1.3e2429b56de47p-54},
    {0x1.6152ae6cdf6f4p+0, 0x1.e4b3e4ab84c27p-54},
    {0x1.6247eb03a5585p+0, -0x1.383c17e40b497p-54},
    {0x1.633dd1d1929fdp+0, 0x1.84710beb964e5p-54},
    {0x1.6434634ccc320p+0, -0x1.c483c759d8933p-55},
    {0x1.652b9febc8fb7p+0, -0x1.ae3d5c9a73e09p-54},
    {0x1.6623882552225p+0, -0x1.bb60987591c34p-54},
    {0x1.671c1c70833f6p+0, -0x1.e8732586c6134p-55},
    {0x1.68155d44ca973p+0, 0x1.038ae44f73e65p-57},
    {0x1.690f4b19e9538p+0, 0x1.804bd9aeb445dp-55},
    {0x1.6a09e667f3bcdp+0, -0x1.bdd3413b26456p-54},
    {0x1.6b052fa75173ep+0, 0x1.a38f52c9a9d0ep-56},
    {0x1.6c012750bdabfp+0, -0x1.2895667ff0b0dp-56},
    {0x1.6cfdcddd47645p+0, 0x1.c7aa9b6f17309p-54},
    {0x1.6dfb23c651a2fp+0, -0x1.bbe3a683c88abp-57},
    {0x1.6ef9298593ae5p+0, -0x1.0b9749e1ac8b2p-54},
    {0x1.6ff7df9519484p+0, -0x1.83c0f25860ef6p-55},
    {0x1.70f7466f42e87p+0, 0x1.9d644d45aa65fp-58},
    {0x1.71f75e8ec5f74p+0, -0x1.16e4786887a99p-55},
    {0x1.72f8286ead08ap+0, -0x1.20aa02cd62c72p-54},
    {0x1.73f9a48a58174p+0, -0x1.0a8d96c65d53cp-54},
    {0x1.74fbd35d7cbfdp+0, 0x1.047fd618a6e1cp-54},
    {0x1.75feb564267c9p+0, -0x1.0245957316dd3p-54},
    {0x1.77024b1ab6e09p+0, 0x1.b7877169147f8p-54},
    {0x1.780694fde5d3fp+0, 0x1.866b80a02162dp-54},
    {0x1.790b938ac1cf6p+0, 0x1.349a862aadd3ep-54},
    {0x1.7a11473eb0187p+0, -0x1.41577ee04992fp-55},
    {0x1.7b17b0976cfdbp+0, -0x1.bebb58468dc88p-54},
    {0x1.7c1ed0130c132p+0, 0x1.f124cd1164dd6p-54},
    {0x1.7d26a62ff86f0p+0, 0x1.1bddbfb72b8b4p-54},
    {0x1.7e2f336cf4e62p+0, 0x1.05d02ba15797ep-56},
    {0x1.7f3878491c491p+0, -0x1.07f11cf9311aep-55},
    {0x1.80427543e1a12p+0, -0x1.27c86626d972bp-54},
    {0x1.814d2add106d9p+0, 0x1.464370d151d4dp-54},
    {0x1.82589994cce13p+0, -0x1.d4c1dd41532d8p-54},
    {0x1.8364c1eb941f7p+0, 0x1.99b9a31df2bd5p-54},
    {0x1.8471a4623c7adp+0, -0x1.8d684a341cdfbp-55},
    {0x1.857f4179f5b21p+0, -0x1.ba748f8b216d0p-58},
    {0x1.868d99b4492edp+0, -0x1.fc6f89bd4f6bap-54},
    {0x1.879cad931a436p+0, 0x1.5d2d7d2db47bdp-55},
    {0x1.88ac7d98a6699p+0, 0x1.994c2f37cb53ap-54},
    {0x1.89bd0a478580fp+0, 0x1.d53954475202bp-54},
    {0x1.8ace5422aa0dbp+0, 0x1.6e9f156864b27p-54},
    {0x1.8be05bad61778p+0, 0x1.ecb5efc43446ep-54},
    {0x1.8cf3216b5448cp+0, -0x1.0d55e32e9e3aap-56},
    {0x1.8e06a5e0866d9p+0, -0x1.7114a6fc9b2e6p-54},
    {0x1.8f1ae99157736p+0, 0x1.5cc13a2e3976cp-55},
    {0x1.902fed0282c8ap+0, 0x1.592ca85fe3fd2p-54},
    {0x1.9145b0b91ffc6p+0, -0x1.dd6792e582524p-54},
    {0x1.925c353aa2fe2p+0, -0x1.3455fa639db7fp-55},
    {0x1.93737b0cdc5e5p+0, -0x1.75fc781b57ebcp-57},
    {0x1.948b82b5f98e5p+0, -0x1.dc3d6797d2d99p-55},
    {0x1.95a44cbc8520fp+0, -0x1.64b7c96a5f039p-56},
    {0x1.96bdd9a7670b3p+0, -0x1.ba5967f19c896p-58},
    {0x1.97d829fde4e50p+0, -0x1.d185b7c1b85d1p-54},
    {0x1.98f33e47a22a2p+0, 0x1.cabdaa24c78edp-56},
    {0x1.9a0f170ca07bap+0, -0x1.173bd91cee632p-54},
    {0x1.9b2bb4d53fe0dp+0, -0x1.dd84e4df6d518p-54},
    {0x1.9c49182a3f090p+0, 0x1.c7c46b071f2bep-56},
    {0x1.9d674194bb8d5p+0, -0x1.516bea3dd8233p-54},
    {0x1.9e86319e32323p+0, 0x1.824ca78e64c6ep-56},
    {0x1.9fa5e8d07f29ep+0, -0x1.4a9ceaaf1facep-55},
    {0x1.a0c667b5de565p+0, -0x1.359495d1cd533p-54},
    {0x1.a1e7aed8eb8bbp+0, 0x1.c6618ee8be70ep-54},
    {0x1.a309bec4a2d33p+0, 0x1.6305c7ddc36abp-54},
    {0x1.a42c980460ad8p+0, -0x1.aa780589fb120p-54},
    {0x1.a5503b23e255dp+0, -0x1.d2f6edb8d41e1p-54},
    {0x1.a674a8af46052p+0, 0x1.50f5630670366p-57},
    {0x1.a799e1330b358p+0, 0x1.bcb7ecac563c7p-54},
    {0x1.a8bfe53c12e59p+0, -0x1.4f867b2ba15a9p-54},
    {0x1.a9e6b5579fdbfp+0, 0x1.0fac90ef7fd31p-54},
    {0x1.ab0e521356ebap+0, 0x1.89c31dae94545p-55},
    {0x1.ac36bbfd3f37ap+0, -0x1.f9234cae76cd0p-55},
    {0x1.ad5ff3a3c2774p+0, 0x1.7ef3bb6b1b8e5p-54},
    {0x1.ae89f995ad3adp+0, 0x1.7a1cd345dcc81p-54},
    {0x1.afb4ce622f2ffp+0, -0x1.4b2fc0f315ecdp-54},
    {0x1.b0e07298db666p+0, -0x1.bdef54c80e425p-54},
    {0x1.b20ce6c9a8952p+0, 0x1.4dd024a0756ccp-54},
    {0x1.b33a2b84f15fbp+0, -0x1.2805e3084d708p-57},
    {0x1.b468415b749b1p+0, -0x1.f763de9df7c90p-56},
    {0x1.b59728de5593ap+0, -0x1.c71dfbbba6de3p-54},
    {0x1.b6c6e29f1c52ap+0, 0x1.2a8f352883f6ep-54},
    {0x1.b7f76f2fb5e47p+0, -0x1.5584f7e54ac3bp-56},
    {0x1.b928cf22749e4p+0, -0x1.b721654cb65c6p-54},
    {0x1.ba5b030a1064ap+0, -0x1.efcd30e54292ep-54},
    {0x1.bb8e0b79a6f1fp+0, -0x1.f52d1c9696205p-60},
    {0x1.bcc1e904bc1d2p+0, 0x1.23dd07a2d9e84p-55},
    {0x1.bdf69c3f3a207p+0, -0x1.c262360ea5b52p-60},
    {0x1.bf2c25bd71e09p+0, -0x1.efdca3f6b9c73p-54},
    {0x1.c06286141b33dp+0, -0x1.d8a5aa1fbca34p-55},
    {0x1.c199bdd85529cp+0, 0x1.11065895048ddp-55},
    {0x1.c2d1cd9fa652cp+0, -0x1.6e51617c8a5d7p-54},
    {0x1.c40ab5fffd07ap+0, 0x1.b4537e083c60ap-54},
    {0x1.c544778fafb22p+0, 0x1.12f072493b5afp-54},
    {0x1.c67f12e57d14bp+0, 0x1.2884dff483cadp-54},
    {0x1.c7ba88988c933p+0, -0x1.e76bbbe255559p-55},
    {0x1.c8f6d9406e7b5p+0, 0x1.1acbc48805c44p-56},
    {0x1.ca3405751c4dbp+0, -0x1.7f2bed10d08f5p-55},
    {0x1.cb720dcef9069p+0, 0x1.503cbd1e949dbp-56},
    {0x1.ccb0f2e6d1675p+0, -0x1.d220f86009093p-56},
    {0x1.cdf0b555dc3fap+0, -0x1.dd83b53829d72p-55},
    {0x1.cf3155b5bab74p+0, -0x1.a08e9b86dff57p-54},
    {0x1.d072d4a07897cp+0, -0x1.cbc3743797a9cp-54},
    {0x1.d1b532b08c968p+0, 0x1.55636219a36eep-54},
    {0x1.d2f87080d89f2p+0, -0x1.d487b719d8578p-54},
    {0x1.d43c8eacaa1d6p+0, 0x1.3db53bf5a1614p-54},
    {0x1.d5818dcfba487p+0, 0x1.2ed02d75b3707p-55},
    {0x1.d6c76e862e6d3p+0, 0x1.fe87a4a8165a0p-58},
    {0x1.d80e316c98398p+0, -0x1.11ec18beddfe8p-54},
    {0x1.d955d71ff6075p+0, 0x1.a052dbb9af6bep-54},
    {0x1.da9e603db3285p+0, 0x1.c2300696db532p-54},
    {0x1.dbe7cd63a8315p+0, -0x1.b76f1926b8be4p-54},
    {0x1.dd321f301b460p+0, 0x1.2da5778f018c3p-54},
    {0x1.de7d5641c0658p+0, -0x1.ca5528e79ba8fp-54},
    {0x1.dfc97337b9b5fp+0, -0x1.1a5cd4f184b5cp-54},
    {0x1.e11676b197d17p+0, -0x1.2b529bd5c7f44p-56},
    {0x1.e264614f5a129p+0, -0x1.7b627817a1496p-54},
    {0x1.e3b333b16ee12p+0, -0x1.9f4a431fdc68bp-54},
    {0x1.e502ee78b3ff6p+0, 0x1.39e8980a9cc8fp-55},
    {0x1.e653924676d76p+0, -0x1.63ff87522b735p-55},
    {0x1.e7a51fbc74c83p+0, 0x1.2d522ca0c8de2p-54},
    {0x1.e8f7977cdb740p+0, -0x1.1089480b054b1p-54},
    {0x1.ea4afa2a490dap+0, -0x1.e9c23179c2893p-54},
    {0x1.eb9f4867cca6ep+0, 0x1.4832f2293e4f2p-54},
    {0x1.ecf482d8e67f1p+0, -0x1.c93f3b411ad8cp-54},
    {0x1.ee4aaa2188510p+0, 0x1.1c68da487568dp-54},
    {0x1.efa1bee615a27p+0, 0x1.dc7f486a4b6b0p-54},
    {0x1.f0f9c1cb6412ap+0, -0x1.3220065181d45p-54},
    {0x1.f252b376bba97p+0, 0x1.3a1a5bf0d8e43p-54},
    {0x1.f3ac948dd7274p+0, -0x1.95a5a3ed837dep-56},
    {0x1.f50765b6e4540p+0, 0x1.9d3e12dd8a18bp-54},
    {0x1.f6632798844f8p+0, 0x1.fa37b3539343ep-54},
    {0x1.f7bfdad9cbe14p+0, -0x1.dbb12d006350ap-54},
    {0x1.f91d802243c89p+0, -0x1.12ea8a779f689p-57},
    {0x1.fa7c1819e90d8p+0, 0x1.74853f3a5931ep-55},
    {0x1.fbdba3692d514p+0, -0x1.9677315098eb6p-56},
    {0x1.fd3c22b8f71f1p+0, 0x1.2eb74966579e7p-57},
    {0x1.fe9d96b2a23d9p+0, 0x1.4a6037442fde3p-56},
};

}   // namespace detail
}   // namespace portableMath

namespace {

using portableMath::detail::bitsOf;
using portableMath::detail::fromBits;
using portableMath::detail::kExp2Fine;

// Per top-8-bit mantissa index i: d close to 1/m, and -log(d) (times 2 folded
// in for the upper half, whose exponent is raised by one) as hi + lo.
const double kLogTable[256][3] = {
    {0x1.0000000000000p+0, 0x0.0p+0, 0x0.0p+0},
    {0x1.fd04794a10e6ap-1, 0x1.7ee11ebd82ec4p-8, 0x1.3c2d23a074505p-63},
    {0x1.fb0c610d5e939p-1, 0x1.3e7295d25a7d5p-7, 0x1.600d65eebbc60p-61},
    {0x1.f9182b6813bafp-1, 0x1.bcf712c743853p-7, -0x1.7b4213447a4ccp-61},
    {0x1.f727cce5f530ap-1, 0x1.1d7f7eb9eebf1p-6, 0x1.2be019c2d240ep-61},
    {0x1.f53b3a3fa204ep-1, 0x1.5c45a51b8d393p-6, -0x1.885b61f610d84p-63},
    {0x1.f3526859b8cecp-1, 0x1.9ace7551cc515p-6, -0x1.cbf63e207e981p-60},
    {0x1.f16d4c4401f17p-1, 0x1.d91a66c543cbep-6, 0x1.4b2c67dcd0956p-60},
    {0x1.ef8bdb389ebadp-1, 0x1.0b94f7c196173p-5, -0x1.c5bc089e0b23bp-59},
    {0x1.edae0a9b3d3a5p-1, 0x1.2a7ec2214e879p-5, 0x1.042b74e00f373p-60},
    {0x1.ebd3cff850b0cp-1, 0x1.494acc34d911dp-5, -0x1.9d6a40b6e333bp-59},
    {0x1.e9fd21044e799p-1, 0x1.67f94f094bd92p-5, 0x1.19f3f276b596dp-59},
    {0x1.e829f39aef509p-1, 0x1.868a83083f6d0p-5, -0x1.284d2b1a4a1edp-60},
    {0x1.e65a3dbe74d6bp-1, 0x1.a4fe9ffa3d233p-5, -0x1.4502014926cd6p-59},
    {0x1.e48df596f3394p-1, 0x1.c355dd0921f2fp-5, -0x1.4d9501f1df1d3p-59},
    {0x1.e2c511719ee16p-1, 0x1.e19070c276010p-5, 0x1.a66e7585e8241p-59},
    {0x1.e0ff87c01e100p-1, 0x1.ffae9119b92fbp-5, 0x1.ba13162a9c44ep-60},
    {0x1.df3d4f17de4dbp-1, 0x1.0ed839b5526fep-4, 0x1.1e4add513114dp-58},
    {0x1.dd7e5e316d94cp-1, 0x1.1dcb263db1944p-4, 0x1.7d7a7a2605718p-58},
    {0x1.dbc2abe7d71d4p-1, 0x1.2cb0283f5de22p-4, -0x1.34d66a3f7a2b6p-58},
    {0x1.da0a2f3803b41p-1, 0x1.3b87598b1b6f0p-4, 0x1.44d6a6b9dad0cp-58},
    {0x1.d854df401d855p-1, 0x1.4a50d3aa1b03fp-4, -0x1.9308973e22a83p-61},
    {0x1.d6a2b33ef7448p-1, 0x1.590cafdf01c26p-4, -0x1.42a375515892ep-58},
    {0x1.d4f3a293769cap-1, 0x1.67bb0726ec0fbp-4, 0x1.d2da7bd644829p-59},
    {0x1.d347a4bc01d34p-1, 0x1.765bf23a6be17p-4, 0x1.cff28ef6a5931p-58},
    {0x1.d19eb155f08a4p-1, 0x1.84ef898e82828p-4, -0x1.f491a5df236ecp-58},
    {0x1.cff8c01cff8c0p-1, 0x1.9375e55595edfp-4, -0x1.e463f9e4dd91fp-59},
    {0x1.ce55c8eac7900p-1, 0x1.a1ef1d8061cd8p-4, 0x1.76df97bcb1787p-60},
    {0x1.ccb5c3b636e3ap-1, 0x1.b05b49bee4403p-4, -0x1.89f383dad0d65p-58},
    {0x1.cb18a8930de60p-1, 0x1.beba818146764p-4, 0x1.d248382a5ecffp-62},
    {0x1.c97e6fb15e44dp-1, 0x1.cd0cdbf8c13e0p-4, -0x1.64af228bcf63ap-60},
    {0x1.c7e7115d0ce95p-1, 0x1.db5270187d925p-4, -0x1.9d4a8f3f05aa5p-59},
    {0x1.c65285fd56843p-1, 0x1.e98b54967146bp-4, 0x1.a227143a5a99ap-58},
    {0x1.c4c0c61456a8ep-1, 0x1.f7b79fec37de2p-4, 0x1.38176812fe880p-59},
    {0x1.c331ca3e91679p-1, 0x1.02ebb42bf3d4ap-3, -0x1.652e70072e4b1p-57},
    {0x1.c1a58b327f576p-1, 0x1.09f561ee719c4p-3, -0x1.aae2afa34f48ap-58},
    {0x1.c01c01c01c01cp-1, 0x1.10f8e422539b1p-3, 0x1.cf798d39f1b7dp-58},
    {0x1.be9526d0769fap-1, 0x1.17f6458fca611p-3, -0x1.f52f6c3723f80p-57},
    {0x1.bd10f365451b6p-1, 0x1.1eed90e2dc2c3p-3, 0x1.837097648f581p-58},
    {0x1.bb8f609879493p-1, 0x1.25ded0abc6ad3p-3, 0x1.14f176448b993p-60},
    {0x1.ba10679bd8488p-1, 0x1.2cca0f5f5f252p-3, 0x1.dcdca01dc0febp-57},
    {0x1.b89401b89401cp-1, 0x1.33af575770e4dp-3, 0x1.f28bf9ca923d6p-58},
    {0x1.b71a284ee6b34p-1, 0x1.3a8eb2d31a375p-3, 0x1.bbbeaea81ece2p-57},
    {0x1.b5a2d4d5b081fp-1, 0x1.41682bf727bbfp-3, -0x1.1e103f093930dp-58},
    {0x1.b42e00da17007p-1, 0x1.483bccce6e3dcp-3, 0x1.b1391fb1b4b22p-57},
    {0x1.b2bba5ff26a23p-1, 0x1.4f099f4a230b1p-3, 0x1.24140543648f3p-58},
    {0x1.b14bbdfd760e6p-1, 0x1.55d1ad4232d70p-3, -0x1.4644b3703041cp-57},
    {0x1.afde42a2cb482p-1, 0x1.5c940075972b9p-3, -0x1.1919a4664319dp-57},
    {0x1.ae732dd1c2a09p-1, 0x1.6350a28aaa759p-3, -0x1.0ea8fd38a2c66p-58},
    {0x1.ad0a798177693p-1, 0x1.6a079d0f7aad0p-3, 0x1.28891a29eac08p-57},
    {0x1.aba41fbd2e5b1p-1, 0x1.70b8f97a1aa74p-3, -0x1.de12ad4822814p-57},
    {0x1.aa401aa401aa4p-1, 0x1.7764c128f2127p-3, 0x1.440d1e78f44cep-57},
    {0x1.a8de64688ebabp-1, 0x1.7e0afd630c276p-3, -0x1.d9f13877e61b9p-57},
    {0x1.a77ef750a56dap-1, 0x1.84abb75865137p-3, -0x1.16fa715e8d38bp-59},
    {0x1.a621cdb4f8fdfp-1, 0x1.8b46f8223625bp-3, 0x1.610816ebe4976p-57},
    {0x1.a4c6e200d2637p-1, 0x1.91dcc8c340bdfp-3, -0x1.f28442017473fp-57},
    {0x1.a36e2eb1c432dp-1, 0x1.986d3228180c8p-3, 0x1.0593750fffe78p-58},
    {0x1.a217ae575ff2fp-1, 0x1.9ef83d2769a34p-3, -0x1.9fb3f9cdff9d3p-57},
    {0x1.a0c35b92ecdf1p-1, 0x1.a57df28244dcbp-3, -0x1.966bc4ca8938dp-57},
    {0x1.9f713117200d0p-1, 0x1.abfe5ae46124ap-3, 0x1.2b1a83b18de21p-58},
    {0x1.9e2129a7d5f0ap-1, 0x1.b2797ee46320cp-3, 0x1.1adf25feae309p-57},
    {0x1.9cd34019cd340p-1, 0x1.b8ef670420c3bp-3, 0x1.9990bc47005e0p-59},
    {0x1.9b876f5262dd1p-1, 0x1.bf601bb0e44e0p-3, -0x1.beb83c874aaf3p-57},
    {0x1.9a3db2474fb98p-1, 0x1.c5cba543ae424p-3, -0x1.44269756071afp-58},
    {0x1.98f603fe670a0p-1, 0x1.cc320c0176501p-3, 0x1.cd329bc9d42b1p-64},
    {0x1.97b05f8d56652p-1, 0x1.d293581b6b3e7p-3, -0x1.204a2aa97ac8ep-58},
    {0x1.966cc01966cc0p-1, 0x1.d8ef91af31d5ep-3, 0x1.d01e4d9c3e3a7p-57},
    {0x1.952b20d73ee97p-1, 0x1.df46c0c722d30p-3, -0x1.4f486fc6e8c8ap-64},
    {0x1.93eb7d0aa6759p-1, 0x1.e598ed5a87e2ep-3, -0x1.daf3c7a62832cp-57},
    {0x1.92add0064ab74p-1, 0x1.ebe61f4dd7b0bp-3, -0x1.9987ee52650b9p-60},
    {0x1.9172152b841ddp-1, 0x1.f22e5e72f105cp-3, -0x1.98a0bf20f9d99p-59},
    {0x1.903847ea1cec1p-1, 0x1.f871b28955045p-3, 0x1.8d2b5b2204b4cp-57},
    {0x1.8f0063c018f00p-1, 0x1.feb0233e607cep-3, 0x1.6e32d5e8c7080p-57},
    {0x1.8dca64397e408p-1, 0x1.0274dc16c232fp-2, -0x1.6bb183e51ec40p-56},
    {0x1.8c9644f01efbcp-1, 0x1.058f3c703ebc5p-2, 0x1.e9432dc9528f1p-56},
    {0x1.8b64018b64019p-1, 0x1.08a73667c57aep-2, 0x1.2140c5a328e6dp-56},
    {0x1.8a3395c018a34p-1, 0x1.0bbccdb0d24bcp-2, -0x1.2333a23204a40p-56},
    {0x1.8904fd503744bp-1, 0x1.0ed005f657da5p-2, 0x1.0b5e955ff414ep-59},
    {0x1.87d8340ab6e97p-1, 0x1.11e0e2dad9cb6p-2, 0x1.97b8198d22e05p-56},
    {0x1.86ad35cb59a84p-1, 0x1.14ef67f88685ap-2, 0x1.a6880da1b13e4p-58},
    {0x1.8583fe7a7c018p-1, 0x1.17fb98e15095ep-2, 0x1.1458b5d97ba9dp-56},
    {0x1.845c8a0ce5129p-1, 0x1.1b05791f07b4ap-2, -0x1.b26dc55e2d052p-56},
    {0x1.8336d48397a24p-1, 0x1.1e0d0c33716bdp-2, 0x1.154d86a4ff98bp-59},
    {0x1.8212d9eba4018p-1, 0x1.211255986160cp-2, -0x1.3a2eb579e2857p-59},
    {0x1.80f0965dfabcbp-1, 0x1.241558bfd1405p-2, -0x1.99bae06a5c863p-61},
    {0x1.7fd005ff40180p-1, 0x1.27161913f853dp-2, -0x1.0e09ea9b4c4a4p-56},
    {0x1.7eb124ffa053bp-1, 0x1.2a1499f762bcap-2, 0x1.895c18aa47a54p-57},
    {0x1.7d93ef9aa4b46p-1, 0x1.2d10dec508582p-2, 0x1.f3ee1106a6ca7p-57},
    {0x1.7c7862170949fp-1, 0x1.300aead06350cp-2, -0x1.95d2280d51407p-58},
    {0x1.7b5e78c693733p-1, 0x1.3302c1658658ap-2, -0x1.263d5c1f755e9p-56},
    {0x1.7a463005e918cp-1, 0x1.35f865c93293ep-2, 0x1.8d8af2d5b0557p-59},
    {0x1.792f843c689c3p-1, 0x1.38ebdb38ed320p-2, 0x1.2d733ea6502f0p-56},
    {0x1.781a71dc01782p-1, 0x1.3bdd24eb14b69p-2, 0x1.06d1e3224d3e9p-57},
    {0x1.7706f5610d8d0p-1, 0x1.3ecc460ef5f50p-2, -0x1.0c4f82601ebfap-60},
    {0x1.75f50b522b17cp-1, 0x1.41b941cce0beep-2, -0x1.8027c87f91214p-57},
    {0x1.74e4b040174e5p-1, 0x1.44a41b463c47bp-2, -0x1.430c8309edcfcp-56},
    {0x1.73d5e0c5899f7p-1, 0x1.478cd5959b3d8p-2, -0x1.1c0f372f6825bp-57},
    {0x1.72c899870f91fp-1, 0x1.4a7373cecf997p-2, -0x1.51d7e6a892849p-57},
    {0x1.71bcd732e940ap-1, 0x1.4d57f8fefe27fp-2, 0x1.cb3fe83434321p-56},
    {0x1.70b29680e66fap-1, 0x1.503a682cb1cb3p-2, -0x1.bc78b7cdae677p-56},
    {0x1.6fa9d43244380p-1, 0x1.531ac457ee77fp-2, -0x1.c4826ceaff1c8p-56},
    {0x1.6ea28d118b474p-1, 0x1.55f9107a43ee2p-2, -0x1.81de37d2989eep-56},
    {0x1.6d9cbdf26eaefp-1, 0x1.58d54f86e02f3p-2, -0x1.24f586adeb499p-57},
    {0x1.6c9863b1ab429p-1, 0x1.5baf846aa1b1ap-2, 0x1.ec1e3016fc9f5p-58},
    {0x1.6b957b34e7803p-1, 0x1.5e87b20c2954ap-2, -0x1.fa7088c705f8ap-56},
    {0x1.6a94016a94017p-1, 0x1.615ddb4bec13cp-2, -0x1.e15bd0fed391dp-56},
    {0x1.6993f349cc726p-1, -0x1.61965cdb02c1ep-2, 0x1.deb01e24472dep-56},
    {0x1.68954dd2390bap-1, -0x1.5ec433d5c35aep-2, 0x1.bdbac5d0228dap-61},
    {0x1.67980e0bf08c7p-1, -0x1.5bf406b543db1p-2, 0x1.55f5b44c0df7fp-56},
    {0x1.669c31075ab40p-1, -0x1.5925d2b112a59p-2, 0x1.eb4f4ade67242p-57},
    {0x1.65a1b3dd13357p-1, -0x1.565995069514cp-2, -0x1.eb4aeb71dce60p-56},
    {0x1.64a893adcd25fp-1, -0x1.538f4af8f72fcp-2, -0x1.05722aa3e6ceap-56},
    {0x1.63b0cda236e1cp-1, -0x1.50c6f1d11b97bp-2, -0x1.205f60f4fb3a9p-62},
    {0x1.62ba5eeade65ep-1, -0x1.4e0086dd8baccp-2, 0x1.2aa1e447883d3p-56},
    {0x1.61c544c0161c5p-1, -0x1.4b3c077267e9ap-2, 0x1.eda0414ae7af8p-56},
    {0x1.60d17c61da198p-1, -0x1.487970e958771p-2, 0x1.a7b9a30da0b3ap-56},
    {0x1.5fdf0317b5c6fp-1, -0x1.45b8c0a17df12p-2, -0x1.f7e305eaf5a20p-56},
    {0x1.5eedd630a9fb3p-1, -0x1.42f9f3ff62641p-2, 0x1.dfc20b32aeeb8p-58},
    {0x1.5dfdf303137b6p-1, -0x1.403d086cea79bp-2, -0x1.dae890e61064bp-57},
    {0x1.5d0f56ec91e57p-1, -0x1.3d81fb5946dbcp-2, 0x1.5a154e9bd1c94p-56},
    {0x1.5c21ff51ef005p-1, -0x1.3ac8ca38e5c5dp-2, -0x1.b843fd41b5821p-57},
    {0x1.5b35e99f06714p-1, -0x1.3811728564cb2p-2, 0x1.0249d0381591bp-56},
    {0x1.5a4b1346add2bp-1, -0x1.355bf1bd82c8bp-2, 0x1.8e2593c3a036fp-59},
    {0x1.596179c29d2cep-1, -0x1.32a84565120a9p-2, 0x1.d2fd8ca1453afp-56},
    {0x1.58791a9357ccep-1, -0x1.2ff66b04ea9d5p-2, 0x1.5a541e6e2e36cp-56},
    {0x1.5791f34015792p-1, -0x1.2d46602adccefp-2, 0x1.eeee6aa0cadf1p-56},
    {0x1.56ac0156ac015p-1, -0x1.2a982269a3dbep-2, -0x1.e6aa35e8c481ep-59},
    {0x1.55c7426b79286p-1, -0x1.27ebaf58d8c9cp-2, -0x1.23ffa5a12c9b5p-56},
    {0x1.54e3b4194ce66p-1, -0x1.25410494e56c8p-2, 0x1.da7e21101b5adp-57},
    {0x1.5401540154015p-1, -0x1.22981fbef797ap-2, -0x1.b53ed4fe4c507p-57},
    {0x1.53201fcb02fb1p-1, -0x1.1ff0fe7cf47a9p-2, 0x1.a15d801e7d762p-57},
    {0x1.5240152401524p-1, -0x1.1d4b9e796c245p-2, -0x1.233e2172b6715p-56},
    {0x1.516131c015161p-1, -0x1.1aa7fd638d33ep-2, -0x1.529616f79ff4ep-57},
    {0x1.508373590ec9cp-1, -0x1.180618ef18adep-2, 0x1.7e4369c72b404p-59},
    {0x1.4fa6d7aeb597cp-1, -0x1.1565eed455fc2p-2, -0x1.829024aa2ed78p-56},
    {0x1.4ecb5c86b3d24p-1, -0x1.12c77cd00713cp-2, -0x1.1522847de5d12p-56},
    {0x1.4df0ffac83c01p-1, -0x1.102ac0a35cc1bp-2, -0x1.94404052f3458p-58},
    {0x1.4d17bef15cb4ep-1, -0x1.0d8fb813eb1efp-2, -0x1.5a21d4fe8d42ap-56},
    {0x1.4c3f982c20723p-1, -0x1.0af660eb9e278p-2, 0x1.440ad727f641bp-57},
    {0x1.4b68893948d1cp-1, -0x1.085eb8f8ae799p-2, 0x1.3d8174030ad14p-57},
    {0x1.4a928ffad5b5cp-1, -0x1.05c8be0d9635ap-2, -0x1.a38ef996b0c96p-58},
    {0x1.49bdaa583b401p-1, -0x1.03346e0106062p-2, 0x1.9475699c6a38ep-56},
    {0x1.48e9d63e504d1p-1, -0x1.00a1c6adda472p-2, -0x1.05a22e785ea23p-58},
    {0x1.4817119f3d325p-1, -0x1.fc218be620a5fp-3, 0x1.be438c2581880p-58},
    {0x1.47455a726abf2p-1, -0x1.f702d36777df0p-3, -0x1.8ae998c1dd664p-58},
    {0x1.4674aeb4717e9p-1, -0x1.f1e75fadf9bdep-3, -0x1.59b44f8126332p-58},
    {0x1.45a50c670938fp-1, -0x1.eccf2c8fe920bp-3, -0x1.217062a6fe69fp-58},
    {0x1.44d67190f8b43p-1, -0x1.e7ba35eb77e2ap-3, -0x1.ec7721b26dd59p-57},
    {0x1.4408dc3e05b22p-1, -0x1.e2a877a6b2c0fp-3, 0x1.6d10f1efcca1bp-57},
    {0x1.433c4a7ee52b4p-1, -0x1.dd99edaf6d7e9p-3, -0x1.4cb1c548a6ce6p-59},
    {0x1.4270ba692bc4dp-1, -0x1.d88e93fb2f451p-3, -0x1.f7fb96815e081p-57},
    {0x1.41a62a173e821p-1, -0x1.d38666871f467p-3, 0x1.4b38932bc0bedp-60},
    {0x1.40dc97a843ae8p-1, -0x1.ce816157f1985p-3, 0x1.6ba2099514bdbp-57},
    {0x1.4014014014014p-1, -0x1.c97f8079d44ecp-3, -0x1.41a8c6e6c4ee7p-57},
    {0x1.3f4c65072bf74p-1, -0x1.c480c0005cccfp-3, -0x1.49abc89ceca67p-57},
    {0x1.3e85c12a9d651p-1, -0x1.bf851c067555cp-3, 0x1.c9302152b2212p-58},
    {0x1.3dc013dc013dcp-1, -0x1.ba8c90ae4ad19p-3, -0x1.afe88865b42bdp-57},
    {0x1.3cfb5b51698ebp-1, -0x1.b5971a213acd9p-3, 0x1.35f155b885f1fp-58},
    {0x1.3c3795c553afbp-1, -0x1.b0a4b48fc1b44p-3, 0x1.6ab87331d9cbfp-58},
    {0x1.3b74c1769aa5cp-1, -0x1.abb55c31693aep-3, -0x1.a9a875993ea8ap-59},
    {0x1.3ab2dca869b81p-1, -0x1.a6c90d44b704cp-3, 0x1.67e06f618b545p-57},
    {0x1.39f1e5a22f36ep-1, -0x1.a1dfc40f1b7f1p-3, 0x1.ce009e6f018ffp-57},
    {0x1.3931daaf8f721p-1, -0x1.9cf97cdce0ec1p-3, 0x1.e779df58e47ddp-59},
    {0x1.3872ba2057e04p-1, -0x1.981634011aa74p-3, 0x1.64c2df743bd5ap-57},
    {0x1.37b4824872744p-1, -0x1.9335e5d594985p-3, -0x1.d8757a8fb3347p-57},
    {0x1.36f7317fd9212p-1, -0x1.8e588ebac2dc1p-3, -0x1.d2acb445001d8p-58},
    {0x1.363ac622898b1p-1, -0x1.897e2b17b19a6p-3, 0x1.4f380cbe9dbe8p-57},
    {0x1.357f3e9078e5bp-1, -0x1.84a6b759f512dp-3, 0x1.6156fc3047cf8p-59},
    {0x1.34c4992d87fd9p-1, -0x1.7fd22ff599d4cp-3, 0x1.5bf457b7d1812p-58},
    {0x1.340ad461776d3p-1, -0x1.7b0091651528bp-3, -0x1.10d3e606a318fp-58},
    {0x1.3351ee97dbfc6p-1, -0x1.7631d82935a84p-3, 0x1.8dc7c5f3e101cp-57},
    {0x1.3299e6401329ap-1, -0x1.716600c914055p-3, -0x1.855f3b0e0e1cdp-59},
    {0x1.31e2b9cd37dc2p-1, -0x1.6c9d07d203fc4p-3, 0x1.fafd9b2dc9d46p-62},
    {0x1.312c67b6173eep-1, -0x1.67d6e9d785770p-3, 0x1.0185383697ee2p-59},
    {0x1.3076ee7525c2cp-1, -0x1.6313a37335d76p-3, -0x1.cab0de1592fb0p-58},
    {0x1.2fc24c8874486p-1, -0x1.5e533144c1718p-3, -0x1.b8189ade2b075p-57},
    {0x1.2f0e8071a5703p-1, -0x1.59958ff1d52f4p-3, 0x1.e65da72814af4p-58},
    {0x1.2e5b88b5e3104p-1, -0x1.54dabc26105d3p-3, 0x1.42346e5e4fa23p-58},
    {0x1.2da963ddd3cfbp-1, -0x1.5022b292f6a45p-3, -0x1.0ff9b512dbc1dp-59},
    {0x1.2cf8107590e67p-1, -0x1.4b6d6fefe22a5p-3, -0x1.fcf56e7951abbp-58},
    {0x1.2c478d0c9c013p-1, -0x1.46baf0f9f5db8p-3, -0x1.717c37bdf2e08p-57},
    {0x1.2b97d835d548ep-1, -0x1.420b32740fdd6p-3, -0x1.8e9bd2fbbdd69p-57},
    {0x1.2ae8f087718d0p-1, -0x1.3d5e3126bc281p-3, 0x1.e83d7b49da757p-57},
    {0x1.2a3ad49af0907p-1, -0x1.38b3e9e027477p-3, 0x1.98a8b82ff1eb3p-57},
    {0x1.298d830d13780p-1, -0x1.340c59741142dp-3, -0x1.18413163ccbcfp-59},
    {0x1.28e0fa7dd35a3p-1, -0x1.2f677cbbc0a98p-3, -0x1.42160f40d56bbp-60},
    {0x1.2835399057efdp-1, -0x1.2ac55095f5c5bp-3, 0x1.2b68636453e34p-57},
    {0x1.278a3eeaee650p-1, -0x1.2625d1e6ddf55p-3, -0x1.4e87b0e13f0a5p-59},
    {0x1.26e009370049cp-1, -0x1.2188fd9807266p-3, -0x1.a3015e71fdb2bp-57},
    {0x1.263697210aa18p-1, -0x1.1ceed09853755p-3, -0x1.e3736a838a6b8p-63},
    {0x1.258de75895121p-1, -0x1.185747dbecf34p-3, 0x1.1ee90992dcbabp-58},
    {0x1.24e5f89029305p-1, -0x1.13c2605c398bfp-3, -0x1.da26b09af7476p-57},
    {0x1.243ec97d49eaep-1, -0x1.0f301717cf0fbp-3, 0x1.f8835d0d8979fp-57},
    {0x1.239858d86b11fp-1, -0x1.0aa06912675d5p-3, -0x1.68a3f37b5ce5ap-58},
    {0x1.22f2a55ce8fc5p-1, -0x1.06135354d4b19p-3, 0x1.575f2fc45ac69p-58},
    {0x1.224dadc900489p-1, -0x1.0188d2ecf613ep-3, -0x1.451cff9dfe3fbp-59},
    {0x1.21a970ddc5ba7p-1, -0x1.fa01c9db57ce7p-4, -0x1.1c0b6eb19fd48p-60},
    {0x1.2105ed5f1e336p-1, -0x1.f0f70cdd992e4p-4, -0x1.9db09cb07729cp-58},
    {0x1.20632213b6c6dp-1, -0x1.e7f1691a32d3ap-4, -0x1.7990e21019877p-58},
    {0x1.1fc10dc4fce8bp-1, -0x1.def0d8d466dbbp-4, -0x1.0efb45962e028p-58},
    {0x1.1f1faf3f16b64p-1, -0x1.d5f55659210e1p-4, 0x1.b19f3d5cb5706p-59},
    {0x1.1e7f0550db594p-1, -0x1.ccfedbfee13a8p-4, -0x1.32fe71255a574p-60},
    {0x1.1ddf0ecbcb841p-1, -0x1.c40d6425a5cb4p-4, -0x1.987464c3722b2p-58},
    {0x1.1d3fca840a074p-1, -0x1.bb20e936d6976p-4, -0x1.f2ae991c88432p-62},
    {0x1.1ca13750547fep-1, -0x1.b23965a52ff04p-4, 0x1.e9dd426e0f27bp-58},
    {0x1.1c035409fc1dfp-1, -0x1.a956d3ecade60p-4, 0x1.cacff4ed42aa4p-58},
    {0x1.1b661f8cde833p-1, -0x1.a0792e9277cadp-4, -0x1.fc9b2957205c6p-58},
    {0x1.1ac998b75eb90p-1, -0x1.97a07024cbe6ep-4, 0x1.82e641279cfb5p-61},
    {0x1.1a2dbe6a5e3e4p-1, -0x1.8ecc933aeb6e2p-4, 0x1.9be67f7aa7546p-61},
    {0x1.19928f89362b7p-1, -0x1.85fd927506a46p-4, 0x1.0665c3071db3dp-62},
    {0x1.18f80af9b06dcp-1, -0x1.7d33687c293c8p-4, 0x1.0f063e63e7076p-58},
    {0x1.185e2fa401186p-1, -0x1.746e100226edbp-4, 0x1.4b70f10e93174p-59},
    {0x1.17c4fc72bfcb9p-1, -0x1.6bad83c1883bap-4, -0x1.ae60449356c12p-58},
    {0x1.172c7052e1316p-1, -0x1.62f1be7d7774ap-4, 0x1.5fb58f1376e6ep-63},
    {0x1.16948a33b08fap-1, -0x1.5a3abb01ade21p-4, -0x1.e4f357d0bf567p-59},
    {0x1.15fd4906c96f1p-1, -0x1.5188742261311p-4, -0x1.996258b3d8a77p-60},
    {0x1.1566abc011567p-1, -0x1.48dae4bc3101dp-4, -0x1.b90461005f525p-59},
    {0x1.14d0b155b19aep-1, -0x1.403207b414b79p-4, -0x1.a95502af7fe71p-58},
    {0x1.143b58c01143bp-1, -0x1.378dd7f74970fp-4, 0x1.2d70e0535f54fp-60},
    {0x1.13a6a0f9cf01ep-1, -0x1.2eee507b402ffp-4, 0x1.a1228837a052dp-59},
    {0x1.131288ffbb3b6p-1, -0x1.26536c3d8c36cp-4, 0x1.c9fb41d22e910p-58},
    {0x1.127f0fd0d2295p-1, -0x1.1dbd2643d1913p-4, 0x1.fc9a20edb0203p-58},
    {0x1.11ec346e36092p-1, -0x1.152b799bb3cd0p-4, 0x1.e90703082910cp-59},
    {0x1.1159f5db29606p-1, -0x1.0c9e615ac4e19p-4, 0x1.0fed164d13b5bp-58},
    {0x1.10c8531d0952ep-1, -0x1.0415d89e7444bp-4, -0x1.40b9e3aea6c39p-59},
    {0x1.10374b3b480aap-1, -0x1.f723b517fc51fp-5, 0x1.c6eab08695901p-59},
    {0x1.0fa6dd3f67322p-1, -0x1.e624c4a0b5e15p-5, 0x1.a3a33b3446795p-59},
    {0x1.0f170834f27fap-1, -0x1.d52ed6405d87ap-5, 0x1.4a8a6ef59ba39p-62},
    {0x1.0e87cb297a51ep-1, -0x1.c441e06f72a93p-5, 0x1.45b3d79755aa4p-59},
    {0x1.0df9252c8e5e6p-1, -0x1.b35dd9b58baa8p-5, 0x1.94985538de795p-63},
    {0x1.0d6b154fb86f9p-1, -0x1.a282b8a936174p-5, 0x1.8c077e47149d6p-60},
    {0x1.0cdd9aa677344p-1, -0x1.91b073efd7314p-5, 0x1.4fddb2a56c208p-64},
    {0x1.0c50b446391f3p-1, -0x1.80e7023d8ccc8p-5, 0x1.ab7945fa2720bp-59},
    {0x1.0bc4614657569p-1, -0x1.70265a550e77bp-5, -0x1.e3b80a8c6332fp-59},
    {0x1.0b38a0c010b39p-1, -0x1.5f6e73078efc3p-5, -0x1.affdb6d68f1fbp-62},
    {0x1.0aad71ce84d16p-1, -0x1.4ebf43349e26ap-5, -0x1.fc23106232514p-59},
    {0x1.0a22d38eaf2bfp-1, -0x1.3e18c1ca0ae99p-5, -0x1.27edc6f1c907ep-61},
    {0x1.0998c51f624d5p-1, -0x1.2d7ae5c3c5bb7p-5, -0x1.15d312cc97c03p-59},
    {0x1.090f45a1430aap-1, -0x1.1ce5a62bc3540p-5, 0x1.839390333b61ep-59},
    {0x1.08865436c3cf7p-1, -0x1.0c58fa19dfaabp-5, 0x1.62b162f225e0bp-60},
    {0x1.07fdf0041ff7cp-1, -0x1.f7a9b16782855p-6, -0x1.c938df3eb88aap-60},
    {0x1.0776182f57386p-1, -0x1.d6b272597981fp-6, -0x1.95e5c8f8f355ep-61},
    {0x1.06eecbe029155p-1, -0x1.b5cc258b718e7p-6, 0x1.791d41005f9a7p-60},
    {0x1.06680a4010668p-1, -0x1.94f6b99a24473p-6, 0x1.0693080ae9e8ap-64},
    {0x1.05e1d27a3ee9cp-1, -0x1.74321d3d006d2p-6, -0x1.690fe9477840cp-60},
    {0x1.055c23bb98e2ap-1, -0x1.537e3f45f354ep-6, 0x1.b169406d66a7bp-60},
    {0x1.04d6fd32b0c7bp-1, -0x1.32db0ea132e10p-6, 0x1.e767bb50221ffp-60},
    {0x1.04525e0fc2fcbp-1, -0x1.12487a5507f68p-6, 0x1.804ad31b5f952p-62},
    {0x1.03ce4584b19a0p-1, -0x1.e38ce30333100p-7, 0x1.147b45033e1b4p-61},
    {0x1.034ab2c50040dp-1, -0x1.a2a9c6c17044dp-7, 0x1.35b4d1c8470b4p-66},
    {0x1.02c7a505cffbfp-1, -0x1.61e77e8b53f9fp-7, -0x1.a2a0e2a1967efp-61},
    {0x1.02451b7ddb2d2p-1, -0x1.2145e939ef1bcp-7, -0x1.47189d3ff66bfp-61},
    {0x1.01c315657186bp-1, -0x1.c189cbb0e283fp-8, -0x1.bb69dea7ecc2cp-62},
    {0x1.014191f674111p-1, -0x1.40c8a7478788dp-8, 0x1.e20f8fffe770ap-62},
    {0x1.00c0906c513cfp-1, -0x1.809048289860ap-9, 0x1.6958f3f3b017bp-65},
    {0x1.0000000000000p-1, 0x0.0p+0, 0x0.0p+0},
};

// atan(i/128), i = 0..128, as hi + lo.
const double kAtanTable[129][2] = {
    {0x0.0p+0, 0x0.0p+0},
    {0x1.fffd555bbba97p-8, 0x1.68062351fbbe6p-63},
    {0x1.fff555bbb729bp-7, -0x1.220c39d4dff50p-61},
    {0x1.7fee0184a5c36p-6, -0x1.43189fc0a354bp-60},
    {0x1.ffd55bba97625p-6, -0x1.5ec431444912cp-60},
    {0x1.3fd65f169c9d9p-5, 0x1.7230a716461b5p-61},
    {0x1.7fb818430da2ap-5, -0x1.86ef8f794f105p-63},
    {0x1.bf8ddf139c444p-5, -0x1.89fe34b2a7fa8p-59},
    {0x1.ff55bb72cfdeap-5, -0x1.c934d86d23f1dp-60},
    {0x1.1f86dbf082d59p-4, -0x1.095dc7732ef81p-59},
    {0x1.3f59f0e7c559dp-4, 0x1.ac4ce285df847p-58},
    {0x1.5f2324fd2d7b2p-4, 0x1.8a8da4401318ep-58},
    {0x1.7ee182602f10fp-4, -0x1.cfb654c0c3d98p-58},
    {0x1.9e94153cfdcf1p-4, 0x1.a332e1d69c47ep-58},
    {0x1.be39ebe6f07c3p-4, 0x1.f7b8f29a05987p-58},
    {0x1.ddd21701eba6ep-4, 0x1.94effcd76fe58p-58},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59},
    {0x1.0e6adccf40882p-3, -0x1.d71a31bb98d0dp-57},
    {0x1.1e1fafb043727p-3, -0x1.b485914dacf8cp-59},
    {0x1.2dcbdb2fba1ffp-3, 0x1.8f28705561534p-58},
    {0x1.3d6eee8c6626cp-3, 0x1.61a3b0ce9281bp-57},
    {0x1.4d087a9da4f17p-3, 0x1.1f323f1adf158p-57},
    {0x1.5c9811e3ec26ap-3, -0x1.054ab2c010f3dp-58},
    {0x1.6c1d4898933d9p-3, -0x1.2954a7603c427p-58},
    {0x1.7b97b4bce5b02p-3, 0x1.347b0b4f881cap-58},
    {0x1.8b06ee2879c29p-3, -0x1.118cd30308c4fp-57},
    {0x1.9a6a8e96c8626p-3, 0x1.cf601e7b4348ep-59},
    {0x1.a9c231b403279p-3, 0x1.0e8bbe89cca85p-57},
    {0x1.b90d7529260a2p-3, 0x1.17b10d2e0e5abp-61},
    {0x1.c84bf8a742e6ep-3, -0x1.95bdd0682ea26p-58},
    {0x1.d77d5df205736p-3, 0x1.c648d1534597ep-57},
    {0x1.e6a148e96ec4dp-3, 0x1.866b22029f765p-57},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57},
    {0x1.025fa510665b6p-2, -0x1.672df6832fa48p-56},
    {0x1.09dc597d86362p-2, 0x1.62e47390cb865p-56},
    {0x1.1151a362431cap-2, -0x1.4dc8dc9077b9fp-56},
    {0x1.18bf5a30bf178p-2, 0x1.30ca4748b1bf9p-57},
    {0x1.2025567e47c96p-2, -0x1.1832328f4290ep-57},
    {0x1.278372057ef46p-2, -0x1.077cdd36dfc81p-56},
    {0x1.2ed987a823cfep-2, 0x1.b91258ea012cap-57},
    {0x1.362773707ebccp-2, -0x1.963a544b672d8p-57},
    {0x1.3d6d129271134p-2, 0x1.137ca41cc958ap-56},
    {0x1.44aa436c2af0ap-2, -0x1.5d5e43c55b3bap-56},
    {0x1.4bdee586890e7p-2, -0x1.e4dc77c22a757p-57},
    {0x1.530ad9951cd4ap-2, -0x1.2566480884082p-57},
    {0x1.5a2e0175e0f4ep-2, 0x1.13b7a8f82e457p-56},
    {0x1.614840309cfe2p-2, -0x1.a725715711f00p-56},
    {0x1.685979f5fa6fep-2, -0x1.257814d1ada9cp-59},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56},
    {0x1.7660752817502p-2, -0x1.dd11791cc7600p-59},
    {0x1.7d5604b63b3f7p-2, 0x1.69c885c2b249ap-56},
    {0x1.84422b8df95d7p-2, 0x1.d76a0299b41b6p-56},
    {0x1.8b24d394a1b25p-2, 0x1.b6d0ba3748fa8p-56},
    {0x1.91fde7cd0c662p-2, 0x1.1074188054b53p-56},
    {0x1.98cd5454d6b18p-2, 0x1.9e6c988fd0a77p-56},
    {0x1.9f93066168002p-2, -0x1.c827047c9439ap-56},
    {0x1.a64eec3cc23fdp-2, -0x1.24dec1b50b7ffp-56},
    {0x1.ad00f5422058bp-2, 0x1.fc4c33891d2e8p-56},
    {0x1.b3a911da65c6cp-2, 0x1.ae187b1ca5040p-56},
    {0x1.ba473378624a5p-2, 0x1.519a1b46e4affp-56},
    {0x1.c0db4c94ec9f0p-2, -0x1.cc1ce70934c34p-56},
    {0x1.c76550aad71f9p-2, -0x1.74b8bff7043e4p-56},
    {0x1.cde53432c1351p-2, -0x1.a2cfa4418f1adp-56},
    {0x1.d45aec9ec862bp-2, 0x1.89421163ef92dp-57},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56},
    {0x1.e127b6b0744b0p-2, -0x1.2b0986398d4abp-58},
    {0x1.e77eb7f175a34p-2, 0x1.0e53dc1bf3435p-56},
    {0x1.edcb6d43f8435p-2, -0x1.fc976330884e4p-58},
    {0x1.f40dd0b541418p-2, -0x1.a3992dc382a23p-57},
    {0x1.fa45dd3029259p-2, -0x1.ca563dc28d8b5p-56},
    {0x1.0039c73c1a40cp-1, -0x1.b32c949c9d593p-55},
    {0x1.034b709250488p-1, 0x1.8f9b38d855410p-56},
    {0x1.0657e94db30d0p-1, -0x1.d5b495f6349e6p-56},
    {0x1.095f30861a590p-1, -0x1.121b20a15a9f3p-56},
    {0x1.0c6145b5b43dap-1, 0x1.974fa13b5404fp-58},
    {0x1.0f5e28b67e295p-1, 0x1.311b17ec990d0p-65},
    {0x1.1255d9bfbd2a9p-1, -0x1.2bdaee1c0ee35p-58},
    {0x1.154859637646ap-1, -0x1.4ba7c548bf3c3p-55},
    {0x1.1835a88be7c13p-1, 0x1.c621cec00c301p-55},
    {0x1.1b1dc87904285p-1, -0x1.21e8c8aef8f29p-57},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58},
    {0x1.20de813e823b2p-1, -0x1.791d753ebb744p-55},
    {0x1.23b71e2cc9e6ap-1, 0x1.c421c9f38224ep-57},
    {0x1.268a940696da6p-1, 0x1.d1348a04c73ccp-58},
    {0x1.2958e59308e31p-1, -0x1.09e73b0c6c087p-56},
    {0x1.2c2215e024466p-1, -0x1.4b810da3a4be1p-59},
    {0x1.2ee628406cbcap-1, 0x1.c5d5e9ff0cf8dp-55},
    {0x1.31a52048874bep-1, 0x1.40cab87a7ac24p-55},
    {0x1.345f01cce37bbp-1, 0x1.1021137c71102p-55},
    {0x1.3713d0df6c504p-1, -0x1.4f789e031606dp-58},
    {0x1.39c391cd4171ap-1, -0x1.2304331d8bf46p-55},
    {0x1.3c6e491c78dc5p-1, -0x1.e145094fd0ba7p-55},
    {0x1.3f13fb89e96f4p-1, 0x1.ecf8b492644f0p-56},
    {0x1.41b4ae06fea41p-1, 0x1.3d60a53277652p-57},
    {0x1.445065b795b56p-1, -0x1.f76d0163f79c8p-56},
    {0x1.46e727efe4716p-1, -0x1.39b9b1b844cc9p-57},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56},
    {0x1.4c05e22de94e5p-1, -0x1.c0ac1f09f2edfp-55},
    {0x1.4e8de5bb6ec04p-1, 0x1.4a33dbeb3796cp-55},
    {0x1.51110adc5ed81p-1, 0x1.23dcd6832a63ep-56},
    {0x1.538f57b89061fp-1, -0x1.1bb74abda520cp-55},
    {0x1.5608d29c70c34p-1, 0x1.9939cf0de8088p-55},
    {0x1.587d81f732fbbp-1, -0x1.5e5c9d8c5a950p-56},
    {0x1.5aed6c5909517p-1, 0x1.7312f714a9436p-55},
    {0x1.5d58987169b18p-1, 0x1.0028e4bc5e7cap-57},
    {0x1.5fbf0d0d5cc4ap-1, -0x1.b4cfd000b7158p-58},
    {0x1.6220d115d7b8ep-1, -0x1.2b785350ee8c1p-57},
    {0x1.647deb8e20b90p-1, -0x1.eca04023a51cfp-58},
    {0x1.66d663923e087p-1, -0x1.6ea6febe8bbbap-56},
    {0x1.692a40556fb6ap-1, 0x1.d94b95a8ea2ccp-55},
    {0x1.6b798920b3d99p-1, -0x1.a80386188c50ep-55},
    {0x1.6dc44551553afp-1, -0x1.bf8863573828ep-58},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56},
    {0x1.724c35b4fae7bp-1, 0x1.948b32db3499bp-58},
    {0x1.748978fba8e0fp-1, 0x1.7b2a6165884a1p-59},
    {0x1.76c24dcc6c6c0p-1, 0x1.1952551adc83dp-55},
    {0x1.78f6bbd5d315ep-1, 0x1.406a089803740p-55},
    {0x1.7b26cad2e50fep-1, -0x1.ce80df30411fbp-55},
    {0x1.7d528289fa093p-1, 0x1.560821e2f3aa9p-55},
    {0x1.7f79eacb97898p-1, 0x1.fd5ca80ead221p-55},
    {0x1.819d0b7158a4dp-1, -0x1.bf76229d3b917p-56},
    {0x1.83bbec5cdee22p-1, 0x1.3107104ffc6c3p-57},
    {0x1.85d69576cc2c5p-1, 0x1.6b66e7fc8b8c3p-57},
    {0x1.87ed0eadc5a2ap-1, 0x1.0af5ad957f4bcp-56},
    {0x1.89ff5ff57f1f8p-1, -0x1.55b9a5e177a1bp-55},
    {0x1.8c0d9145cf49dp-1, 0x1.bea4076dc4333p-55},
    {0x1.8e17aa99cc05ep-1, -0x1.ec182ab042f61p-56},
    {0x1.901db3eeef187p-1, 0x1.68665e5603c8fp-55},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},
};

// tan(i/128), i = 0..101, as hi + lo.
const double kTanTable[102][2] = {
    {0x0.0p+0, 0x0.0p+0},
    {0x1.00015557777afp-7, -0x1.12eaf386ee6bap-61},
    {0x1.0005557778549p-6, -0x1.4792827ea2e3ep-60},
    {0x1.8012010341f4fp-6, 0x1.22272a5bc5679p-60},
    {0x1.00155777aec08p-5, 0x1.5f48b25fa0262p-59},
    {0x1.4029b12e5d036p-5, 0x1.d606e3db20fa3p-60},
    {0x1.80481036e4452p-5, 0x1.3d85e10c65fcep-60},
    {0x1.c0727863ee42dp-5, -0x1.b4e57b2e2af0ap-59},
    {0x1.005577854df01p-4, -0x1.f35b10671bea1p-58},
    {0x1.2079bda1f91bap-4, 0x1.5ac87bc418048p-58},
    {0x1.40a71317603a9p-4, 0x1.e341cf23dfe5cp-58},
    {0x1.60de7d99082fep-4, -0x1.0b00eb95c6311p-58},
    {0x1.8121042019d39p-4, 0x1.e53de54163d36p-58},
    {0x1.a16faf0d40347p-4, 0x1.5a68ce2de7e1bp-58},
    {0x1.c1cb884ae7ce3p-4, -0x1.91f3cfab70c67p-60},
    {0x1.e2359b6fe83eap-4, 0x1.1322f1cadf7cfp-58},
    {0x1.01577af1511a5p-3, -0x1.fba60a478d2b0p-59},
    {0x1.119c537e4dc4dp-3, -0x1.86d1b3972f757p-57},
    {0x1.21e9e01751d9cp-3, -0x1.8f2e9b85cdb48p-60},
    {0x1.3240aa92c57ddp-3, -0x1.d06af58819344p-57},
    {0x1.42a13df7bb968p-3, -0x1.981948de81ac0p-57},
    {0x1.530c2690f05c9p-3, 0x1.7b323bbdd11bcp-57},
    {0x1.6381f20021d08p-3, -0x1.9360ee39e7d86p-58},
    {0x1.74032f51c7e36p-3, 0x1.c407111cded9fp-57},
    {0x1.84906f1132568p-3, 0x1.20efcd2f809c3p-60},
    {0x1.952a435d12828p-3, 0x1.a5f37e2e25488p-61},
    {0x1.a5d13ffc776f5p-3, 0x1.b89182a3a38d7p-57},
    {0x1.b685fa7442dc0p-3, 0x1.15e2fa0afabd5p-57},
    {0x1.c7490a1d1e12dp-3, 0x1.d2fc0e48d3694p-58},
    {0x1.d81b0839f5a64p-3, -0x1.ceb733107c419p-57},
    {0x1.e8fc900f0376bp-3, -0x1.b971a98dc7fb0p-57},
    {0x1.f9ee3ef96eaa2p-3, -0x1.c70683abde1b8p-58},
    {0x1.05785a43c4c56p-2, -0x1.9c6bfe7769a3dp-58},
    {0x1.0e024948dac9fp-2, -0x1.51349a0419593p-58},
    {0x1.16953ea9fb257p-2, 0x1.06b03f377d8f0p-59},
    {0x1.1f318dc41deecp-2, 0x1.416ec874dbce6p-56},
    {0x1.27d78b40b7704p-2, 0x1.f391de0df335dp-56},
    {0x1.30878d23a3785p-2, -0x1.4da5be0bf5995p-56},
    {0x1.3941ead97b329p-2, -0x1.736dee67c7385p-57},
    {0x1.4206fd465adc8p-2, -0x1.1b4ce8080e5e1p-56},
    {0x1.4ad71ed51ce39p-2, -0x1.b8c42b22fff4bp-56},
    {0x1.53b2ab87103e2p-2, -0x1.8f297160606e5p-57},
    {0x1.5c9a01043014bp-2, -0x1.8a3aeeb99c243p-57},
    {0x1.658d7eabe319ep-2, -0x1.6b4f98a342f61p-56},
    {0x1.6e8d85a6493e1p-2, -0x1.80e8ea578b238p-56},
    {0x1.779a78f61ebd5p-2, -0x1.f6b39691799f1p-56},
    {0x1.80b4bd8b3bdd9p-2, 0x1.5a80279094351p-59},
    {0x1.89dcba55b9103p-2, -0x1.44e7869224429p-56},
    {0x1.9312d859bf8b0p-2, -0x1.de9ddeb7d4180p-57},
    {0x1.9c5782c40ed6ep-2, 0x1.59de2842977fcp-56},
    {0x1.a5ab26ff403edp-2, -0x1.522f5c7d91fa7p-59},
    {0x1.af0e34c9d1807p-2, -0x1.d0bddceaa69d4p-56},
    {0x1.b8811e4d009c3p-2, -0x1.2f8192327ea6bp-58},
    {0x1.c20458348326bp-2, 0x1.bbe1ebd1bdd9bp-60},
    {0x1.cb9859c724099p-2, -0x1.923f8a8057bf7p-57},
    {0x1.d53d9d0053381p-2, -0x1.95b3890de5b0ep-61},
    {0x1.def49eaab37a1p-2, 0x1.1e48c7a265428p-56},
    {0x1.e8bdde7bb318bp-2, -0x1.551b271b41370p-58},
    {0x1.f299df303cebbp-2, -0x1.925b4a577d0aap-58},
    {0x1.fc8926aa90063p-2, -0x1.d94cbf8f86866p-56},
    {0x1.03461f08a685dp-1, -0x1.71d22a449a2eap-55},
    {0x1.0851d8f7e487dp-1, 0x1.f53c3fb2b2a2cp-57},
    {0x1.0d68092bdb64ep-1, -0x1.9115b88532a0ap-55},
    {0x1.1288f9821bed4p-1, 0x1.63d4764a30292p-55},
    {0x1.17b4f5bf3474ap-1, 0x1.0c5e59201e209p-55},
    {0x1.1cec4ba1be39fp-1, -0x1.27c1889a1ec0ap-55},
    {0x1.222f4af63cacdp-1, 0x1.5ffe451c2abd6p-56},
    {0x1.277e45abd9b2ep-1, -0x1.cf6e2f81355d7p-55},
    {0x1.2cd98fea0ab88p-1, 0x1.bf004c33955cbp-57},
    {0x1.324180272b110p-1, 0x1.f706216c491c0p-55},
    {0x1.37b66f4018e8ep-1, -0x1.1899339e50c0ep-56},
    {0x1.3d38b890e2df1p-1, -0x1.d545741414cc4p-56},
    {0x1.42c8ba0e9537ap-1, -0x1.1817d3747956ap-56},
    {0x1.4866d46236872p-1, -0x1.a43cbe9fb246ep-57},
    {0x1.4e136b0504b5fp-1, -0x1.cfa9c233bbb31p-56},
    {0x1.53cee45e044b0p-1, 0x1.0037473ae19b1p-55},
    {0x1.5999a9e0f5129p-1, -0x1.ebf504ca1c5d4p-56},
    {0x1.5f74282ec06e5p-1, -0x1.1a30913359945p-55},
    {0x1.655ecf3776ef1p-1, -0x1.a80657cbfeeb6p-55},
    {0x1.6b5a125df43fap-1, -0x1.daaefef2bf829p-55},
    {0x1.7166689d41ef0p-1, -0x1.f44ffce65ed2bp-55},
    {0x1.77844cafd348cp-1, 0x1.004393bf9e111p-55},
    {0x1.7db43d38b62cap-1, 0x1.489d3c731da14p-55},
    {0x1.83f6bceed6b93p-1, -0x1.dd6470b323227p-56},
    {0x1.8a4c52ca75a77p-1, 0x1.4d66e6bea4d61p-55},
    {0x1.90b58a34f3665p-1, 0x1.1b5a65f331655p-55},
    {0x1.9732f33b14612p-1, 0x1.c2d4507fd437ap-57},
    {0x1.9dc522c1e56b5p-1, -0x1.ee4c9de1be6b1p-59},
    {0x1.a46cb2be6a0b2p-1, -0x1.29a64ecb1df2ep-56},
    {0x1.ab2a427041578p-1, 0x1.47f6dc014a039p-57},
    {0x1.b1fe769f7154ep-1, 0x1.32aa55fd9947dp-56},
    {0x1.b8e9f9dd8c374p-1, -0x1.33dbd3fadfaccp-55},
    {0x1.bfed7cca66b49p-1, 0x1.8d237cd4d9245p-55},
    {0x1.c709b65c9aa7bp-1, 0x1.93ec21dbe5824p-55},
    {0x1.ce3f642e15af6p-1, -0x1.98cfacf28c6b2p-55},
    {0x1.d58f4accf8435p-1, 0x1.c2d4fce764957p-57},
    {0x1.dcfa36110eeecp-1, -0x1.f3cf665127fd2p-57},
    {0x1.e480f97635083p-1, -0x1.e80a8d4caa22ap-56},
    {0x1.ec24707bf6687p-1, 0x1.8cb6d1fadd1dap-55},
    {0x1.f3e57f0acc544p-1, 0x1.59d2c7bcfec07p-55},
    {0x1.fbc511df5917fp-1, 0x1.4e6ef3dde2f07p-55},
    {0x1.01e20f7e06e4bp+0, 0x1.01a7dbf5a0245p-54},
};

// 2/pi in 64-bit words, most significant first.
const uint64_t kTwoOverPi[24] = {
    0xa2f9836e4e441529ull, 0xfc2757d1f534ddc0ull, 0xdb6295993c439041ull, 0xfe5163abdebbc561ull, 0xb7246e3a424dd2e0ull,
    0x06492eea09d1921cull, 0xfe1deb1cb129a73eull, 0xe88235f52ebb4484ull, 0xe99c7026b45f7e41ull, 0x3991d639835339f4ull,
    0x9c845f8bbdf9283bull, 0x1ff897ffde05980full, 0xef2f118b5a0a6d1full, 0x6d367ecf27cb09b7ull, 0x4f463f669e5fea2dull,
    0x7527bac7ebe5f17bull, 0x3d0739f78a5292eaull, 0x6bfb5fb11f8d5d08ull, 0x56033046fc7b6babull, 0xf0cfbc209af4361dull,
    0xa9e391615ee61b08ull, 0x6599855f14a06840ull, 0x8dffd8804d732731ull, 0x06061556ca73a8c9ull,
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr uint64_t kMantissaMask = 0x000FFFFFFFFFFFFFull;

// ln2/64 in three parts; the first two carry 36 bits, so k * part is exact
// for every k the reduction meets (|k| < 2^17).
constexpr double kLn2By64Hi = 0x1.62e42fefa0000p-7;
constexpr double kLn2By64Mid = 0x1.cf79abc9e0000p-46;
constexpr double kLn2By64Lo = 0x1.d9cc01f97b57ap-85;
constexpr double k64ByLn2 = 0x1.71547652b82fep+6;
// ln2 with 42 bits in the high part: e * hi is exact for every exponent.
constexpr double kLn2Hi = 0x1.62e42fefa3800p-1;
constexpr double kLn2Lo = 0x1.ef35793c76730p-45;
constexpr double kPiBy2Hi = 0x1.921fb54442d18p+0;
constexpr double kPiBy2Lo = 0x1.1a62633145c07p-54;
// Adding and subtracting it rounds a double below 2^51 to an integer.
constexpr double kRoundShifter = 0x1.8p52;

struct dd {
    double hi;
    double lo;
};

// e^x = 2^k * (hi + lo)
struct scaledDd {
    double hi;
    double lo;
    int k;
};

inline double absOf(double x)
{
    return fromBits(bitsOf(x) & 0x7FFFFFFFFFFFFFFFull);
}

inline bool signOf(double x)
{
    return (bitsOf(x) >> 63) != 0;
}

// 2^n for n in [-1022, 1023].
inline double powerOfTwo(int n)
{
    return fromBits(static_cast<uint64_t>(n + 1023) << 52);
}

// |a| >= |b| (or a == 0).
inline dd fastTwoSum(double a, double b)
{
    const double s = a + b;
    return {s, b - (s - a)};
}

inline dd twoSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// Veltkamp split: hi keeps the upper 26 bits, so products of halves are exact.
inline void split(double a, double& hi, double& lo)
{
    const double c = 134217729.0 * a;
    hi = c - (c - a);
    lo = a - hi;
}

// Exact product without FMA (Dekker); |a|, |b| well below 2^996.
inline dd twoProd(double a, double b)
{
    const double p = a * b;
    double ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

inline dd divide(dd n, dd d)
{
    const double q = n.hi / d.hi;
    const dd p = twoProd(q, d.hi);
    const double r = (((n.hi - p.hi) - p.lo) + n.lo) - q * d.lo;
    return {q, r / d.hi};
}

// e^(xh + xl) for |xh| <= 746, |xl| <= ulp(xh): 2^k times a double-double
// within about 2^-75 relative. x = (64m + j) ln2/64 + r, |r| <= ln2/128.
scaledDd expCore(double xh, double xl)
{
    const double kf = (xh * k64ByLn2 + kRoundShifter) - kRoundShifter;
    const int k = static_cast<int>(kf);
    const double r0 = xh - kf * kLn2By64Hi;   // exact
    const dd a = twoSum(r0, -(kf * kLn2By64Mid));
    const dd r = twoSum(a.hi, (a.lo - kf * kLn2By64Lo) + xl);

    const dd r2 = twoProd(r.hi, r.hi);
    const double q = 1.0 / 6 +
        r.hi * (1.0 / 24 + r.hi * (1.0 / 120 + r.hi * (1.0 / 720 + r.hi * (1.0 / 5040 + r.hi * (1.0 / 40320)))));
    const double tail = r.hi * r2.hi * q;
    // p = e^r - 1 = r + r^2/2 + tail
    const dd p = fastTwoSum(r.hi, 0.5 * r2.hi);
    const double pl = p.lo + r.lo + (0.5 * r2.lo + r.hi * r.lo) + tail;

    const int j = k & 63;
    const double th = kExp2Table[j][0];
    const double tl = kExp2Table[j][1];
    const dd tp = twoProd(th, p.hi);
    const dd s = fastTwoSum(th, tp.hi);
    const double lo = s.lo + (tp.lo + th * pl + (tl + tl * (p.hi + pl)));
    return {s.hi, lo, (k - j) / 64};
}

// Rounds 2^k (hi + lo) once, also where the result is subnormal.
double finishExp(const scaledDd& e)
{
    if (e.k > 1023)
        return (e.hi + e.lo) * powerOfTwo(e.k - 1) * 2.0;
    if (e.k > -1022)
        return (e.hi + e.lo) * powerOfTwo(e.k);
    const double scale = powerOfTwo(e.k + 1022);
    const double a = e.hi * scale;
    if (a >= 1.0)
        return (e.hi + e.lo) * powerOfTwo(e.k);
    // Round on the grid of 1 + a, which is the subnormal grid scaled by 2^1022.
    const dd s = twoSum(1.0, a);
    const double f = s.hi + (s.lo + e.lo * scale);
    return (f - 1.0) * 0x1p-1022;
}

// log(x) for finite x > 0 as a double-double, within about 2^-76 absolute
// or 2^-70 relative near 1. x = 2^e m, m d = 1 + r with d from the table.
dd logCore(double x)
{
    uint64_t u = bitsOf(x);
    int e = static_cast<int>(u >> 52) - 1023;
    if (e == -1023) {
        u = bitsOf(x * 0x1p54);
        e = static_cast<int>(u >> 52) - 1023 - 54;
    }
    const int i = static_cast<int>((u >> 44) & 255);
    if (i >= 106)
        e += 1;   // the table folds m / 2 into d for the upper half
    const double m = fromBits((u & kMantissaMask) | 0x3FF0000000000000ull);
    const dd md = twoProd(m, kLogTable[i][0]);
    const dd r = fastTwoSum(md.hi - 1.0, md.lo);   // |r| < 2^-8, exact

    const dd r2 = twoProd(r.hi, r.hi);
    const double x1 = r.hi;
    const double q = 1.0 / 3 +
        x1 *
            (-1.0 / 4 +
             x1 * (1.0 / 5 + x1 * (-1.0 / 6 + x1 * (1.0 / 7 + x1 * (-1.0 / 8 + x1 * (1.0 / 9 + x1 * (-1.0 / 10)))))));
    const double tail = x1 * r2.hi * q;
    const dd h = fastTwoSum(r.hi, -0.5 * r2.hi);
    const double hl = h.lo + r.lo - (0.5 * r2.lo + r.hi * r.lo) + tail;

    const double ef = static_cast<double>(e);
    const dd s1 = twoSum(ef * kLn2Hi, kLogTable[i][1]);
    const dd s2 = twoSum(s1.hi, h.hi);
    const double lo = s1.lo + s2.lo + (ef * kLn2Lo + kLogTable[i][2] + hl);
    return fastTwoSum(s2.hi, lo);
}

// 0: not an integer, 1: odd integer, 2: even integer (y finite).
int integerKind(double y)
{
    const uint64_t u = bitsOf(y);
    const int e = static_cast<int>((u >> 52) & 0x7FF) - 1023;
    if (e < 0)
        return y == 0.0 ? 2 : 0;
    if (e >= 53)
        return 2;
    const int shift = 52 - e;
    const uint64_t mantissa = (u & kMantissaMask) | (1ull << 52);
    if (mantissa & ((1ull << shift) - 1))
        return 0;
    return ((mantissa >> shift) & 1) ? 1 : 2;
}

__extension__ typedef unsigned __int128 uint128;

inline uint64_t bitsAt(const uint64_t* words, int bit)
{
    const int w = bit >> 6;
    const int off = bit & 63;
    if (off == 0)
        return words[w];
    return (words[w] >> off) | (words[w + 1] << (64 - off));
}

// x mod pi/2 for x > pi/4, from the exact product of x with 2/pi (enough of
// its bits that every double reduces correctly). odd: the quotient is odd.
dd reduceByHalfPi(double x, bool& odd)
{
    const uint64_t u = bitsOf(x);
    const int ex = static_cast<int>(u >> 52) - 1075;   // x = mantissa * 2^ex
    const uint64_t mantissa = (u & kMantissaMask) | (1ull << 52);
    // Words of 2/pi whose products with x are multiples of 2 do not matter.
    int j0 = ex <= 0 ? 0 : (ex + 63) / 64 - 1;
    uint64_t s[6] = {0, 0, 0, 0, 0, 0};
    uint64_t carry = 0;
    for (int t = 0; t < 4; ++t) {
        const uint128 p = static_cast<uint128>(mantissa) * kTwoOverPi[j0 + 3 - t] + carry;
        s[t] = static_cast<uint64_t>(p);
        carry = static_cast<uint64_t>(p >> 64);
    }
    s[4] = carry;
    const int unit = 64 * (j0 + 4) - ex;   // bit of s with weight 1
    const uint64_t top = bitsAt(s, unit - 62);
    uint64_t f2 = top & ((1ull << 62) - 1);
    uint64_t f1 = bitsAt(s, unit - 126);
    uint64_t f0 = bitsAt(s, unit - 190);
    odd = ((top >> 62) & 1) != 0;
    const bool negative = (f2 >> 61) != 0;
    if (negative) {
        // Round the quotient up; the remainder becomes 1 - fraction, negated.
        odd = !odd;
        f0 = ~f0;
        f1 = ~f1;
        f2 = ~f2 & ((1ull << 62) - 1);
        if (++f0 == 0 && ++f1 == 0)
            ++f2;
    }
    // The fraction is f2 2^-62 + f1 2^-126 + f0 2^-190; sum its 32-bit pieces,
    // each exact, smallest first.
    const double pieces[6] = {
        static_cast<double>(f0 & 0xFFFFFFFFu) * 0x1p-190, static_cast<double>(f0 >> 32) * 0x1p-158,
        static_cast<double>(f1 & 0xFFFFFFFFu) * 0x1p-126, static_cast<double>(f1 >> 32) * 0x1p-94,
        static_cast<double>(f2 & 0xFFFFFFFFu) * 0x1p-62,  static_cast<double>(f2 >> 32) * 0x1p-30,
    };
    dd f = {0.0, 0.0};
    for (double piece : pieces) {
        const dd t = twoSum(piece, f.hi);
        f = fastTwoSum(t.hi, t.lo + f.lo);
    }
    const dd p = twoProd(f.hi, kPiBy2Hi);
    const dd r = fastTwoSum(p.hi, p.lo + (f.hi * kPiBy2Lo + f.lo * kPiBy2Hi));
    return negative ? dd{-r.hi, -r.lo} : r;
}

// ln2/256 with 36 bits in the high part (k * hi exact for |k| < 2^17).
constexpr double kLn2By256Hi = 0x1.62e42fefa0000p-9;
constexpr double kLn2By256Lo = 0x1.cf79abc9e3b3ap-48;
constexpr double k256ByLn2 = 0x1.71547652b82fep+8;

// Both ends of [hi + lo - err, hi + lo + err] round to the same double: then
// so does every value inside, the exact result among them.
inline bool roundsSafely(double hi, double lo, double err, double& out)
{
    const double up = hi + (lo + err);
    const double down = hi + (lo - err);
    out = up;
    return up == down;
}

// A first try at tanh(ax), 2^-27 <= ax < 19.1, in mostly plain arithmetic with
// an error bound; false when the bound does not settle the rounding.
bool tanhFirstTry(double ax, double& out)
{
    if (ax < 0.125) {
        // Taylor series to x^21: its remainder is below 2^-80 relative here.
        const double x2 = ax * ax;
        const double t = ax * x2 *
            (-0x1.5555555555555p-2 +
             x2 *
                 (0x1.1111111111111p-3 +
                  x2 *
                      (-0x1.ba1ba1ba1ba1cp-5 +
                       x2 *
                           (0x1.664f4882c10fap-6 +
                            x2 *
                                (-0x1.226e355e6c23dp-7 +
                                 x2 *
                                     (0x1.d6d3d0e157de0p-9 +
                                      x2 *
                                          (-0x1.7da36452b75e3p-10 +
                                           x2 *
                                               (0x1.3558248036744p-11 +
                                                x2 * (-0x1.f57d7734d1664p-13 + x2 * 0x1.967e18afcafadp-14)))))))));
        const dd y = fastTwoSum(ax, t);
        // t is within about 4.6 roundings of itself.
        return roundsSafely(y.hi, y.lo, -t * 0x1p-50, out);
    }
    // M = e^z - 1, z = 2ax = (256m + j) ln2/256 + r, |r| <= ln2/512; tanh = M / (M + 2).
    const double z = 2.0 * ax;
    const double kf = (z * k256ByLn2 + kRoundShifter) - kRoundShifter;
    const int k = static_cast<int>(kf);
    const double r = (z - kf * kLn2By256Hi) - kf * kLn2By256Lo;
    const double c = r * r * (0.5 + r * (1.0 / 6 + r * (1.0 / 24 + r * (1.0 / 120 + r * (1.0 / 720)))));
    const int j = k & 255;
    const double scale = powerOfTwo(k >> 8);
    const double th = kExp2Fine[j][0];
    const double tl = kExp2Fine[j][1];
    const dd a = twoSum(th * scale, -1.0);
    const dd s = twoSum(a.hi, (th * r) * scale);
    const dd m = fastTwoSum(s.hi, s.lo + a.lo + (th * c + tl + tl * r) * scale);
    const dd d = twoSum(2.0, m.hi);
    const double dl = d.lo + m.lo;
    const double qh = m.hi / d.hi;
    const dd p = twoProd(qh, d.hi);
    const double ql = ((((m.hi - p.hi) - p.lo) + m.lo) - qh * dl) / d.hi;
    // M is within 2^-61.4 E, which moves M / (M + 2) by 2^-60.4 E / (M + 2)^2,
    // that is 2^-62.4 (1 - tanh^2); the quotient's own steps add about 2^-104.
    return roundsSafely(qh, ql, 0x1p-62 * (1.0 - qh * qh) + qh * 0x1p-100, out);
}

// e^(x + t) for |x| < 354 (|k| < 2^17 keeps k * kLn2By256Hi exact) and |t|
// below 2^-43, within 1.375 2^-62 (th * r rounds by up to 2^-62) plus the
// caller's extraErr, relative. x = (256m + j) ln2/256 + r, |r| <= ln2/512;
// r keeps its rounding error in t, so only th * r rounds by much.
bool expFirstTry(double x, double t, double extraErr, double& out)
{
    const double kf = (x * k256ByLn2 + kRoundShifter) - kRoundShifter;
    const int k = static_cast<int>(kf);
    const double a = x - kf * kLn2By256Hi;   // exact
    const double b = kf * kLn2By256Lo;
    const double r = a - b;
    const double rt = ((a - r) - b) + t;
    const double r2 = r * r;
    // e^r - 1 - r, in two halves to shorten the chain of dependent steps.
    const double c = r2 * ((0.5 + r * (1.0 / 6)) + r2 * ((1.0 / 24 + r * (1.0 / 120)) + r2 * (1.0 / 720)));
    const int j = k & 255;
    const double th = kExp2Fine[j][0];
    const double tl = kExp2Fine[j][1];
    const dd h = fastTwoSum(th, th * r);
    // e^(r + rt) = e^r (1 + rt) within rt^2; the rt term apart keeps the
    // chain after the polynomial short.
    const double lo = h.lo + ((th * c + tl + tl * r) + th * rt * (1.0 + (r + c)));
    double y;
    if (!roundsSafely(h.hi, lo, h.hi * (0x1.6p-62 + extraErr), y))
        return false;
    out = y * powerOfTwo(k >> 8);
    return true;
}

// Per top-8-bit mantissa index i: d near 1/m with 9 significant bits, so
// that m d - 1 comes out exact from two products; -log(d) (-log(2d) from
// i = 106 on, whose exponent is raised by one) as hi + lo, hi on the grid of
// 2^-42 so that e * kLn2Hi + hi is exact.
}   // namespace

namespace portableMath {
namespace detail {

const double kLogFirst[256][3] = {
    {0x1.0p+0, 0x0.0p+0, 0x0.0p+0},
    {0x1.fdp-1, 0x1.812121458p-8, 0x1.ad50382973f27p-46},
    {0x1.fbp-1, 0x1.41929f968p-7, 0x1.977c755d01368p-46},
    {0x1.f9p-1, 0x1.c317384c8p-7, -0x1.41f33fcefb9fep-44},
    {0x1.f7p-1, 0x1.228fb1feap-6, 0x1.713e3284991fep-45},
    {0x1.f5p-1, 0x1.63d617869p-6, 0x1.7abf389596542p-47},
    {0x1.f3p-1, 0x1.a55f548c6p-6, -0x1.de0709f2d03c9p-45},
    {0x1.f1p-1, 0x1.e72bf2814p-6, -0x1.8d75149774d47p-45},
    {0x1.fp-1, 0x1.0415d89e78p-5, -0x1.dddc7f461c516p-44},
    {0x1.eep-1, 0x1.252f32f8dp-5, 0x1.83e9ae021b67bp-45},
    {0x1.ecp-1, 0x1.466aed42ep-5, -0x1.c167375bdfd28p-45},
    {0x1.eap-1, 0x1.67c94f2d48p-5, 0x1.dac20827cca0cp-44},
    {0x1.e8p-1, 0x1.894aa149f8p-5, 0x1.9a19a8be97661p-44},
    {0x1.e6p-1, 0x1.aaef2d0fbp-5, 0x1.0fc1a353bb42ep-45},
    {0x1.e5p-1, 0x1.bbcebfc69p-5, -0x1.7bf868c317c2ap-46},
    {0x1.e3p-1, 0x1.dda8adc68p-5, -0x1.1b1ac64d9e42fp-45},
    {0x1.e1p-1, 0x1.ffa6911ab8p-5, 0x1.3008c98381a8fp-45},
    {0x1.dfp-1, 0x1.10e45b3cbp-4, -0x1.7cf69284a3465p-44},
    {0x1.ddp-1, 0x1.2207b5c784p-4, 0x1.49d8cfc10c7bfp-44},
    {0x1.dcp-1, 0x1.2aa04a447p-4, 0x1.7a48ba8b1cb41p-44},
    {0x1.dap-1, 0x1.3bdf5a7d2p-4, -0x1.19bd0ad125895p-44},
    {0x1.d8p-1, 0x1.4d3115d208p-4, -0x1.53a2582f4e1efp-48},
    {0x1.d7p-1, 0x1.55e10050ep-4, 0x1.c1d740c53c72ep-47},
    {0x1.d5p-1, 0x1.674f089364p-4, 0x1.a79994c9d3302p-44},
    {0x1.d3p-1, 0x1.78d02263d8p-4, 0x1.69b5794b69fb7p-47},
    {0x1.d2p-1, 0x1.8197e2f41p-4, -0x1.c0fe460d20041p-44},
    {0x1.dp-1, 0x1.9335e5d594p-4, 0x1.3115c3abd47dap-45},
    {0x1.cep-1, 0x1.a4e7640b1cp-4, -0x1.e42b6b94407c8p-47},
    {0x1.cdp-1, 0x1.adc77ee5bp-4, -0x1.573b209c31904p-44},
    {0x1.cbp-1, 0x1.bf968769fcp-4, 0x1.4218c8d824283p-45},
    {0x1.c9p-1, 0x1.d179788218p-4, 0x1.36433b5efbeedp-44},
    {0x1.c8p-1, 0x1.da72763844p-4, 0x1.a89401fa71733p-46},
    {0x1.c6p-1, 0x1.ec739830ap-4, 0x1.11fcba80cdd1p-44},
    {0x1.c5p-1, 0x1.f57bc7d9p-4, 0x1.76a6c9ea8b04ep-46},
    {0x1.c3p-1, 0x1.03cdc0a51ep-3, 0x1.81a9cf169fc5cp-44},
    {0x1.c2p-1, 0x1.08598b59e4p-3, -0x1.7e5dd7009902cp-45},
    {0x1.cp-1, 0x1.1178e8227ep-3, 0x1.1ef78ce2d07f2p-45},
    {0x1.bfp-1, 0x1.160c8024b2p-3, 0x1.ec2d2a9009e3dp-45},
    {0x1.bdp-1, 0x1.1f3b925f26p-3, -0x1.5f74e9b083633p-46},
    {0x1.bcp-1, 0x1.23d712a49cp-3, 0x1.00d238fd3df5cp-46},
    {0x1.bap-1, 0x1.2d1610c868p-3, 0x1.39d6ccb81b4a1p-47},
    {0x1.b9p-1, 0x1.31b994d3a4p-3, 0x1.f098ee3a5081p-44},
    {0x1.b7p-1, 0x1.3b08b6758p-3, -0x1.aade8f29320fbp-44},
    {0x1.b6p-1, 0x1.3fb45a5992p-3, 0x1.19713c0cae559p-44},
    {0x1.b4p-1, 0x1.4913d8333cp-3, -0x1.53e43558124c4p-44},
    {0x1.b3p-1, 0x1.4dc7b897bcp-3, 0x1.c79b60ae1ff0fp-47},
    {0x1.b1p-1, 0x1.5737cc9018p-3, 0x1.9baa7a6b887f6p-44},
    {0x1.bp-1, 0x1.5bf406b544p-3, -0x1.27023eb68981cp-46},
    {0x1.aep-1, 0x1.6574ebe8c2p-3, -0x1.98c1d34f0f462p-44},
    {0x1.adp-1, 0x1.6a399dabbep-3, -0x1.8f934e66a15a6p-44},
    {0x1.acp-1, 0x1.6f0128b756p-3, 0x1.577390d31ef0fp-44},
    {0x1.aap-1, 0x1.7898d85444p-3, 0x1.8e67be3dbaf3fp-44},
    {0x1.a9p-1, 0x1.7d6903caf6p-3, -0x1.4c06b17c301d7p-45},
    {0x1.a7p-1, 0x1.871213750ep-3, 0x1.328eb42f9af75p-44},
    {0x1.a6p-1, 0x1.8beafeb39p-3, -0x1.73d54aae92cd1p-47},
    {0x1.a5p-1, 0x1.90c6db9fccp-3, -0x1.935f57718d7cap-46},
    {0x1.a3p-1, 0x1.9a8778debap-3, 0x1.470fa3efec39p-44},
    {0x1.a2p-1, 0x1.9f6c40708ap-3, -0x1.337d94bcd3f43p-44},
    {0x1.a1p-1, 0x1.a454082e6ap-3, 0x1.60a77c81f7171p-44},
    {0x1.9fp-1, 0x1.ae2ca6f672p-3, 0x1.7a8d5ae54f55p-44},
    {0x1.9ep-1, 0x1.b31d8575bcp-3, 0x1.c794e562a63cbp-44},
    {0x1.9dp-1, 0x1.b811730b82p-3, 0x1.e90683b9cd768p-46},
    {0x1.9cp-1, 0x1.bd087383bep-3, -0x1.d4bc4595412b6p-45},
    {0x1.9ap-1, 0x1.c6ffbc6fp-3, 0x1.ee138d3a69d43p-44},
    {0x1.99p-1, 0x1.cc000c9db4p-3, -0x1.d6d585d57aff9p-46},
    {0x1.98p-1, 0x1.d1037f2656p-3, -0x1.84a7e75b6f6e4p-47},
    {0x1.96p-1, 0x1.db13db0d48p-3, 0x1.2806a847527e6p-44},
    {0x1.95p-1, 0x1.e020cc6236p-3, -0x1.52b00adb91424p-45},
    {0x1.94p-1, 0x1.e530effe72p-3, -0x1.fdbdbb13f7c18p-44},
    {0x1.93p-1, 0x1.ea4449f04ap-3, 0x1.5e91663732a36p-44},
    {0x1.91p-1, 0x1.f474b134ep-3, -0x1.bae49f1df7b5ep-44},
    {0x1.9p-1, 0x1.f991c6cb3cp-3, -0x1.90d04cd7cc834p-44},
    {0x1.8fp-1, 0x1.feb2233eap-3, 0x1.f3418de00938bp-45},
    {0x1.8ep-1, 0x1.01eae5626cp-2, 0x1.a43dcfade85aep-44},
    {0x1.8dp-1, 0x1.047e60cde8p-2, 0x1.dbdf10d397f3cp-45},
    {0x1.8bp-1, 0x1.09aa572e6cp-2, 0x1.b50a1e1734342p-44},
    {0x1.8ap-1, 0x1.0c42d67616p-2, 0x1.7188b163ceae9p-45},
    {0x1.89p-1, 0x1.0edd060b78p-2, 0x1.019b52d8435f5p-47},
    {0x1.88p-1, 0x1.1178e8227ep-2, 0x1.1ef78ce2d07f2p-44},
    {0x1.87p-1, 0x1.14167ef367p-2, 0x1.e0c07824daaf5p-44},
    {0x1.86p-1, 0x1.16b5ccbadp-2, -0x1.23299042d74bfp-44},
    {0x1.84p-1, 0x1.1bf99635a7p-2, -0x1.1ac89575c2125p-44},
    {0x1.83p-1, 0x1.1e9e16788ap-2, -0x1.82eaed3c8b65ep-44},
    {0x1.82p-1, 0x1.214456d0ecp-2, -0x1.caf0428b728a3p-44},
    {0x1.81p-1, 0x1.23ec5991ecp-2, -0x1.6dbe448a2e522p-44},
    {0x1.8p-1, 0x1.269621134ep-2, -0x1.1b61f10522625p-44},
    {0x1.7fp-1, 0x1.2941afb187p-2, -0x1.210c2b730e28bp-44},
    {0x1.7ep-1, 0x1.2bef07cdc9p-2, 0x1.a9cfa4a5004f4p-45},
    {0x1.7cp-1, 0x1.314f1e1d36p-2, -0x1.8e27ad3213cb8p-45},
    {0x1.7bp-1, 0x1.3401e12aedp-2, -0x1.17c73556e291dp-44},
    {0x1.7ap-1, 0x1.36b6776be1p-2, 0x1.16ecdb0f177c8p-46},
    {0x1.79p-1, 0x1.396ce359bcp-2, -0x1.5839c5663663dp-47},
    {0x1.78p-1, 0x1.3c25277333p-2, 0x1.83b54b606bd5cp-46},
    {0x1.77p-1, 0x1.3edf463c17p-2, -0x1.f067c297f2c3fp-44},
    {0x1.76p-1, 0x1.419b423d5fp-2, -0x1.ce379226de3ecp-44},
    {0x1.75p-1, 0x1.44591e053ap-2, -0x1.6e95892923d88p-47},
    {0x1.74p-1, 0x1.4718dc271cp-2, 0x1.06c18fb4c14c5p-44},
    {0x1.73p-1, 0x1.49da7f3bccp-2, 0x1.07b334daf4b9ap-44},
    {0x1.72p-1, 0x1.4c9e09e173p-2, -0x1.e20891b0ad8a4p-45},
    {0x1.71p-1, 0x1.4f637ebbaap-2, -0x1.fc158cb3124b9p-44},
    {0x1.7p-1, 0x1.522ae0738ap-2, 0x1.ebe708164c759p-45},
    {0x1.6fp-1, 0x1.54f431b7bep-2, 0x1.a8954c0910952p-46},
    {0x1.6ep-1, 0x1.57bf753c8dp-2, 0x1.fadedee5d40efp-46},
    {0x1.6dp-1, 0x1.5a8cadbbeep-2, -0x1.7c79b0af7ecf8p-48},
    {0x1.6cp-1, 0x1.5d5bddf596p-2, -0x1.a0b2a08a465dcp-47},
    {0x1.6bp-1, 0x1.602d08af09p-2, 0x1.ebe9176df3f65p-46},
    {0x1.6ap-1, -0x1.62c82f2b9cp-2, -0x1.e54bdbd7c8a98p-44},
    {0x1.69p-1, -0x1.5ff3070a79p-2, -0x1.e9e439f105039p-45},
    {0x1.68p-1, -0x1.5d1bdbf581p-2, 0x1.8d6bdc9c7c238p-44},
    {0x1.67p-1, -0x1.5a42ab0f4dp-2, 0x1.e63af2df7ba69p-50},
    {0x1.66p-1, -0x1.5767717456p-2, 0x1.64ead9524d7cap-44},
    {0x1.65p-1, -0x1.548a2c3addp-2, -0x1.3167e63081cf7p-45},
    {0x1.64p-1, -0x1.51aad872ep-2, 0x1.f4bd8db0a7cc1p-44},
    {0x1.63p-1, -0x1.4ec97326p-2, -0x1.34d7aaf04d104p-45},
    {0x1.62p-1, -0x1.4be5f95778p-2, 0x1.d7c92cd9ad824p-44},
    {0x1.61p-1, -0x1.4900680401p-2, 0x1.8bccffe1a0f8cp-44},
    {0x1.6p-1, -0x1.4618bc21c6p-2, 0x1.3d82f484c84ccp-46},
    {0x1.5fp-1, -0x1.432ef2a04fp-2, 0x1.fb129931715adp-44},
    {0x1.5ep-1, -0x1.404308686ap-2, -0x1.f8ef43049f7d3p-44},
    {0x1.5dp-1, -0x1.3d54fa5c1fp-2, -0x1.c3e1cd9a395e3p-44},
    {0x1.5cp-1, -0x1.3a64c55694p-2, -0x1.7a71cbcd735dp-44},
    {0x1.5bp-1, -0x1.3772662bfep-2, 0x1.e9436ac53b023p-44},
    {0x1.5ap-1, -0x1.347dd9a988p-2, 0x1.5594dd4c58092p-45},
    {0x1.59p-1, -0x1.31871c9544p-2, -0x1.84fab94cecfd9p-46},
    {0x1.58p-1, -0x1.2e8e2bae12p-2, 0x1.67b1e99b72bd8p-45},
    {0x1.58p-1, -0x1.2e8e2bae12p-2, 0x1.67b1e99b72bd8p-45},
    {0x1.57p-1, -0x1.2b9303ab8ap-2, 0x1.6db12d6bfb0a5p-45},
    {0x1.56p-1, -0x1.2895a13de8p-2, -0x1.a8d7ad24c13fp-44},
    {0x1.55p-1, -0x1.2596010df7p-2, -0x1.8e7bc224ea3e3p-44},
    {0x1.54p-1, -0x1.22941fbcf8p-2, 0x1.a6976f5eb0963p-44},
    {0x1.53p-1, -0x1.1f8ff9e48ap-2, -0x1.7946c040cbe77p-45},
    {0x1.52p-1, -0x1.1c898c169ap-2, 0x1.81410e5c62affp-44},
    {0x1.51p-1, -0x1.1980d2dd42p-2, -0x1.b7b3a7a361c9ap-45},
    {0x1.51p-1, -0x1.1980d2dd42p-2, -0x1.b7b3a7a361c9ap-45},
    {0x1.5p-1, -0x1.1675cababap-2, -0x1.8380e731f55c4p-44},
    {0x1.4fp-1, -0x1.136870293bp-2, 0x1.d3e8499d67123p-44},
    {0x1.4ep-1, -0x1.1058bf9ae5p-2, 0x1.4ab9d817d52cdp-44},
    {0x1.4dp-1, -0x1.0d46b579abp-2, -0x1.d2c81f640e1e6p-44},
    {0x1.4cp-1, -0x1.0a324e2739p-2, -0x1.c6bee7ef4030ep-47},
    {0x1.4bp-1, -0x1.071b85fcd6p-2, 0x1.bcb8ba3e01a11p-44},
    {0x1.4bp-1, -0x1.071b85fcd6p-2, 0x1.bcb8ba3e01a11p-44},
    {0x1.4ap-1, -0x1.0402594b4dp-2, -0x1.036b89ef42d7fp-48},
    {0x1.49p-1, -0x1.00e6c45ad5p-2, -0x1.cc68d52e01203p-50},
    {0x1.48p-1, -0x1.fb9186d5e4p-3, 0x1.d572aab993c87p-47},
    {0x1.47p-1, -0x1.f550a564b8p-3, 0x1.323e3a09202fep-45},
    {0x1.46p-1, -0x1.ef0adcbdc6p-3, 0x1.b26b79c86af24p-45},
    {0x1.46p-1, -0x1.ef0adcbdc6p-3, 0x1.b26b79c86af24p-45},
    {0x1.45p-1, -0x1.e8c0252aa6p-3, 0x1.6805b80e8e6ffp-45},
    {0x1.44p-1, -0x1.e27076e2bp-3, 0x1.a342c2af0003cp-44},
    {0x1.43p-1, -0x1.dc1bca0abep-3, -0x1.8fac1a628ccc6p-44},
    {0x1.42p-1, -0x1.d5c216b4fcp-3, 0x1.1ba91bbca681bp-45},
    {0x1.42p-1, -0x1.d5c216b4fcp-3, 0x1.1ba91bbca681bp-45},
    {0x1.41p-1, -0x1.cf6354e09cp-3, -0x1.771239a07d55bp-45},
    {0x1.4p-1, -0x1.c8ff7c79aap-3, 0x1.7794f689f8434p-45},
    {0x1.3fp-1, -0x1.c2968558c2p-3, 0x1.cfd73dee38a4p-45},
    {0x1.3fp-1, -0x1.c2968558c2p-3, 0x1.cfd73dee38a4p-45},
    {0x1.3ep-1, -0x1.bc286742d8p-3, -0x1.9ac53f39d121cp-44},
    {0x1.3dp-1, -0x1.b5b519e8fcp-3, 0x1.4b722ec011f31p-44},
    {0x1.3cp-1, -0x1.af3c94e80cp-3, 0x1.a4e633fcd9066p-52},
    {0x1.3bp-1, -0x1.a8becfc882p-3, -0x1.e3185cf21b9cfp-44},
    {0x1.3bp-1, -0x1.a8becfc882p-3, -0x1.e3185cf21b9cfp-44},
    {0x1.3ap-1, -0x1.a23bc1fe2cp-3, 0x1.539cd91dc9f0bp-44},
    {0x1.39p-1, -0x1.9bb362e7ep-3, 0x1.1f2a8a1ce0ffcp-45},
    {0x1.38p-1, -0x1.9525a9cf46p-3, 0x1.297137d9f158fp-44},
    {0x1.38p-1, -0x1.9525a9cf46p-3, 0x1.297137d9f158fp-44},
    {0x1.37p-1, -0x1.8e928de886p-3, -0x1.a8154b13d72d5p-44},
    {0x1.36p-1, -0x1.87fa06520cp-3, -0x1.22120401202fcp-44},
    {0x1.35p-1, -0x1.815c0a1436p-3, 0x1.02a52f9201ce8p-44},
    {0x1.35p-1, -0x1.815c0a1436p-3, 0x1.02a52f9201ce8p-44},
    {0x1.34p-1, -0x1.7ab890210ep-3, 0x1.bdb9072534a58p-45},
    {0x1.33p-1, -0x1.740f8f5404p-3, 0x1.0b66c99018aa1p-44},
    {0x1.33p-1, -0x1.740f8f5404p-3, 0x1.0b66c99018aa1p-44},
    {0x1.32p-1, -0x1.6d60fe719ep-3, 0x1.bc6e557134767p-44},
    {0x1.31p-1, -0x1.66acd4272ap-3, -0x1.aa1bdbfc6c785p-44},
    {0x1.3p-1, -0x1.5ff3070a7ap-3, 0x1.8586f183bebf2p-44},
    {0x1.3p-1, -0x1.5ff3070a7ap-3, 0x1.8586f183bebf2p-44},
    {0x1.2fp-1, -0x1.59338d9982p-3, -0x1.0ba68b7555d4ap-48},
    {0x1.2ep-1, -0x1.526e5e3a1cp-3, 0x1.790ba37fc5238p-44},
    {0x1.2ep-1, -0x1.526e5e3a1cp-3, 0x1.790ba37fc5238p-44},
    {0x1.2dp-1, -0x1.4ba36f39a6p-3, 0x1.4354bb3f219e5p-44},
    {0x1.2cp-1, -0x1.44d2b6ccb8p-3, 0x1.70cc16135783cp-46},
    {0x1.2cp-1, -0x1.44d2b6ccb8p-3, 0x1.70cc16135783cp-46},
    {0x1.2bp-1, -0x1.3dfc2b0eccp-3, -0x1.8a72a62b8c13fp-45},
    {0x1.2ap-1, -0x1.371fc201e8p-3, -0x1.ee8779b2d8abcp-44},
    {0x1.2ap-1, -0x1.371fc201e8p-3, -0x1.ee8779b2d8abcp-44},
    {0x1.29p-1, -0x1.303d718e48p-3, 0x1.680b5ce3ecb05p-50},
    {0x1.28p-1, -0x1.29552f82p-3, 0x1.5b967f4471dfcp-44},
    {0x1.28p-1, -0x1.29552f82p-3, 0x1.5b967f4471dfcp-44},
    {0x1.27p-1, -0x1.2266f190a6p-3, 0x1.4d20ab840e7f6p-45},
    {0x1.26p-1, -0x1.1b72ad52f6p-3, -0x1.e80a41811a396p-45},
    {0x1.26p-1, -0x1.1b72ad52f6p-3, -0x1.e80a41811a396p-45},
    {0x1.25p-1, -0x1.1478584674p-3, -0x1.563451027c75p-46},
    {0x1.24p-1, -0x1.0d77e7cd08p-3, -0x1.cb2cd2ee2f482p-44},
    {0x1.24p-1, -0x1.0d77e7cd08p-3, -0x1.cb2cd2ee2f482p-44},
    {0x1.23p-1, -0x1.0671512ca6p-3, 0x1.a47579cdc0a3dp-45},
    {0x1.22p-1, -0x1.fec9131dcp-4, 0x1.54555d1ae6607p-44},
    {0x1.22p-1, -0x1.fec9131dcp-4, 0x1.54555d1ae6607p-44},
    {0x1.21p-1, -0x1.f0a30c0118p-4, 0x1.d599e83368e91p-44},
    {0x1.2p-1, -0x1.e27076e2bp-4, 0x1.a342c2af0003cp-45},
    {0x1.2p-1, -0x1.e27076e2bp-4, 0x1.a342c2af0003cp-45},
    {0x1.1fp-1, -0x1.d4313d66ccp-4, 0x1.9454379135713p-45},
    {0x1.1ep-1, -0x1.c5e548f5bcp-4, -0x1.d0c57585fbe06p-46},
    {0x1.1ep-1, -0x1.c5e548f5bcp-4, -0x1.d0c57585fbe06p-46},
    {0x1.1dp-1, -0x1.b78c82bb1p-4, 0x1.25ef7bc3987e7p-44},
    {0x1.1dp-1, -0x1.b78c82bb1p-4, 0x1.25ef7bc3987e7p-44},
    {0x1.1cp-1, -0x1.a926d3a4acp-4, -0x1.563650bd22a9cp-44},
    {0x1.1bp-1, -0x1.9ab4246204p-4, 0x1.8a64826787061p-45},
    {0x1.1bp-1, -0x1.9ab4246204p-4, 0x1.8a64826787061p-45},
    {0x1.1ap-1, -0x1.8c345d6318p-4, -0x1.b20f5acb42a66p-44},
    {0x1.1ap-1, -0x1.8c345d6318p-4, -0x1.b20f5acb42a66p-44},
    {0x1.19p-1, -0x1.7da766d7bp-4, -0x1.2cc844480c89bp-44},
    {0x1.18p-1, -0x1.6f0d28ae58p-4, 0x1.4b4641b664613p-44},
    {0x1.18p-1, -0x1.6f0d28ae58p-4, 0x1.4b4641b664613p-44},
    {0x1.17p-1, -0x1.60658a9374p-4, -0x1.0c3b1dee9c4f8p-44},
    {0x1.17p-1, -0x1.60658a9374p-4, -0x1.0c3b1dee9c4f8p-44},
    {0x1.16p-1, -0x1.51b073f06p-4, -0x1.83f69278e686ap-44},
    {0x1.15p-1, -0x1.42edcbea64p-4, -0x1.bc0eeea7c9acdp-46},
    {0x1.15p-1, -0x1.42edcbea64p-4, -0x1.bc0eeea7c9acdp-46},
    {0x1.14p-1, -0x1.341d7961bcp-4, -0x1.1d0929983761p-44},
    {0x1.14p-1, -0x1.341d7961bcp-4, -0x1.1d0929983761p-44},
    {0x1.13p-1, -0x1.253f62f0ap-4, -0x1.416f8fb69a701p-44},
    {0x1.12p-1, -0x1.16536eea38p-4, 0x1.47c5e768fa309p-46},
    {0x1.12p-1, -0x1.16536eea38p-4, 0x1.47c5e768fa309p-46},
    {0x1.11p-1, -0x1.075983599p-4, 0x1.b8ecfe4b59987p-44},
    {0x1.11p-1, -0x1.075983599p-4, 0x1.b8ecfe4b59987p-44},
    {0x1.1p-1, -0x1.f0a30c0118p-5, 0x1.d599e83368e91p-45},
    {0x1.1p-1, -0x1.f0a30c0118p-5, 0x1.d599e83368e91p-45},
    {0x1.0fp-1, -0x1.d276b8adbp-5, -0x1.6a423c78a64bp-46},
    {0x1.0fp-1, -0x1.d276b8adbp-5, -0x1.6a423c78a64bp-46},
    {0x1.0ep-1, -0x1.b42dd71198p-5, 0x1.c827ae5d6704cp-46},
    {0x1.0dp-1, -0x1.95c830ec9p-5, 0x1.c148297c5feb8p-45},
    {0x1.0dp-1, -0x1.95c830ec9p-5, 0x1.c148297c5feb8p-45},
    {0x1.0cp-1, -0x1.77458f633p-5, 0x1.181dce586af09p-44},
    {0x1.0cp-1, -0x1.77458f633p-5, 0x1.181dce586af09p-44},
    {0x1.0bp-1, -0x1.58a5bafc9p-5, 0x1.b2b739570ad39p-45},
    {0x1.0bp-1, -0x1.58a5bafc9p-5, 0x1.b2b739570ad39p-45},
    {0x1.0ap-1, -0x1.39e87b9fe8p-5, -0x1.eafd480ad9015p-44},
    {0x1.0ap-1, -0x1.39e87b9fe8p-5, -0x1.eafd480ad9015p-44},
    {0x1.09p-1, -0x1.1b0d98924p-5, 0x1.3401e9ae889bbp-44},
    {0x1.09p-1, -0x1.1b0d98924p-5, 0x1.3401e9ae889bbp-44},
    {0x1.08p-1, -0x1.f829b0e78p-6, -0x1.980267c7e09e4p-45},
    {0x1.07p-1, -0x1.b9fc027bp-6, 0x1.b9a010ae6922ap-44},
    {0x1.07p-1, -0x1.b9fc027bp-6, 0x1.b9a010ae6922ap-44},
    {0x1.06p-1, -0x1.7b91b07d6p-6, 0x1.3b955b602ace4p-44},
    {0x1.06p-1, -0x1.7b91b07d6p-6, 0x1.3b955b602ace4p-44},
    {0x1.05p-1, -0x1.3cea44347p-6, 0x1.6a2c432d6a40bp-44},
    {0x1.05p-1, -0x1.3cea44347p-6, 0x1.6a2c432d6a40bp-44},
    {0x1.04p-1, -0x1.fc0a8b0fcp-7, -0x1.f1e7cf6d3a69cp-50},
    {0x1.04p-1, -0x1.fc0a8b0fcp-7, -0x1.f1e7cf6d3a69cp-50},
    {0x1.03p-1, -0x1.7dc475f82p-7, 0x1.eb1245b5da1f5p-44},
    {0x1.03p-1, -0x1.7dc475f82p-7, 0x1.eb1245b5da1f5p-44},
    {0x1.02p-1, -0x1.fe02a6b1p-8, -0x1.9e23f0dda40e4p-46},
    {0x1.02p-1, -0x1.fe02a6b1p-8, -0x1.9e23f0dda40e4p-46},
    {0x1.01p-1, -0x1.ff00aa2bp-9, -0x1.0bc04a086b56ap-45},
    {0x1.01p-1, -0x1.ff00aa2bp-9, -0x1.0bc04a086b56ap-45},
    {0x1.0p-1, 0x0.0p+0, 0x0.0p+0},
};

}   // namespace detail
}   // namespace portableMath

namespace {

using portableMath::detail::kLogFirst;

// log x for finite x > 0 as hi + lo within err, in plain arithmetic: only the
// polynomial and its sum round, by up to about r^2 2^-51.
void logFirstTry(double x, double& hi, double& lo, double& err)
{
    uint64_t u = bitsOf(x);
    int e = static_cast<int>(u >> 52) - 1023;
    if (e == -1023) {
        u = bitsOf(x * 0x1p54);
        e = static_cast<int>(u >> 52) - 1023 - 54;
    }
    const int i = static_cast<int>((u >> 44) & 255);
    e += static_cast<int>(i >= 106);   // no branch: the two halves come at random
    const double m = fromBits((u & kMantissaMask) | 0x3FF0000000000000ull);
    // 44 bits of m times the 9 of d fit a double; the rest of m d - 1 is tiny
    // and its exact sum with the first part fits too (|r| <= 2^-8, grid 2^-61).
    const double mh = fromBits((u & 0x000FFFFFFFFFFE00ull) | 0x3FF0000000000000ull);
    const double d = kLogFirst[i][0];
    const double r = (mh * d - 1.0) + (m - mh) * d;
    const double r2 = r * r;
    // log1p(r) - r to r^8; the rest is below r^2 2^-59.
    const double p = r2 *
        ((-0.5 + r * (1.0 / 3)) +
         r2 * ((-1.0 / 4 + r * (1.0 / 5)) + r2 * ((-1.0 / 6 + r * (1.0 / 7)) + r2 * (-1.0 / 8))));
    const double ef = static_cast<double>(e);
    const double w = ef * kLn2Hi + kLogFirst[i][1];   // exact
    const dd s = twoSum(w, r);
    hi = s.hi;
    lo = s.lo + ((ef * kLn2Lo + kLogFirst[i][2]) + p);
    // The constants' tails and their sums: below |w| 2^-75, and zero with w.
    err = r2 * 0x1p-50 + absOf(w) * 0x1p-75;
}

// A first try at x^y for finite x > 0 and |y| <= 2^64: e^(y log x), with
// y log x as zh + zl within |y| times the log's bound.
bool powFirstTry(double x, double y, double& out)
{
    double lh, ll, lerr;
    logFirstTry(x, lh, ll, lerr);
    // |lh| exceeds both r^2 and 2^-17 wherever the log's table step is not 1,
    // so this is exact, and it leaves zl small enough for expFirstTry.
    const dd l = fastTwoSum(lh, ll);
    const dd z0 = twoProd(y, l.hi);
    const double zh = z0.hi;
    if (!(zh > -354.0 && zh < 354.0))
        return false;
    const double zl = z0.lo + y * l.lo;
    return expFirstTry(zh, zl, (absOf(y) * lerr + absOf(zh) * 0x1p-98) * 1.001, out);
}

}   // namespace

namespace portableMath {

double exp(double x)
{
    double first;
    if (absOf(x) < 354.0) {
        if (expFirstTry(x, 0.0, 0.0, first))
            return first;
        return finishExp(expCore(x, 0.0));
    }
    if (x != x)
        return x + x;
    if (x > 709.8)
        return kInf;
    if (x < -745.2)
        return 0.0;
    return finishExp(expCore(x, 0.0));
}

double log(double x)
{
    // One test lets every positive normal through.
    if (bitsOf(x) - 0x0010000000000000ull >= 0x7FE0000000000000ull) {
        if (x != x)
            return x + x;
        if (x < 0.0)
            return kNaN;
        if (x == 0.0)
            return -kInf;
        if (x == kInf)
            return x;
    }
    double hi, lo, err, first;
    logFirstTry(x, hi, lo, err);
    if (roundsSafely(hi, lo, err, first))
        return first;
    const dd l = logCore(x);
    return l.hi + l.lo;
}

double pow(double x, double y)
{
    // The chain's case first: x a positive normal, 0 < |y| <= 2^64.
    double first;
    if (bitsOf(x) - 0x0010000000000000ull < 0x7FE0000000000000ull &&
        (bitsOf(y) & 0x7FFFFFFFFFFFFFFFull) - 1 < 0x43F0000000000000ull && powFirstTry(x, y, first))
        return first;
    if (y == 0.0 || x == 1.0)
        return 1.0;
    if (x != x || y != y)
        return x + y;
    if (y == 1.0)
        return x;
    if (y == 2.0)
        return x * x;   // one rounding, exact as it stands
    const double ax = absOf(x);
    if (absOf(y) == kInf) {
        if (ax == 1.0)
            return 1.0;
        return ((ax > 1.0) == (y > 0.0)) ? kInf : 0.0;
    }
    const int yKind = integerKind(y);
    const bool negate = signOf(x) && yKind == 1;
    double result;
    if (x == 0.0 || ax == kInf) {
        result = ((x == 0.0) == (y < 0.0)) ? kInf : 0.0;
    } else if (x < 0.0 && yKind == 0) {
        return kNaN;
    } else if (absOf(y) > 0x1p64) {
        // |y log|x|| exceeds 2^11 for any |x| != 1.
        result = ((ax > 1.0) == (y > 0.0)) ? kInf : 0.0;
    } else if (powFirstTry(ax, y, result)) {
    } else {
        const dd l = logCore(ax);
        const dd z0 = twoProd(y, l.hi);
        const dd z = fastTwoSum(z0.hi, z0.lo + y * l.lo);
        if (z.hi > 710.0)
            result = kInf;
        else if (z.hi < -746.0)
            result = 0.0;
        else
            result = finishExp(expCore(z.hi, z.lo));
    }
    return negate ? -result : result;
}

double tanh(double x)
{
    const double ax = absOf(x);
    if (!(ax < 19.1)) {   // 1 - tanh is below half an ulp of 1 from about 19.06
        if (x != x)
            return x + x;
        return signOf(x) ? -1.0 : 1.0;
    }
    if (ax < 0x1p-27)   // x^3/3 is below half an ulp of x
        return x;
    double first;
    if (tanhFirstTry(ax, first))
        return signOf(x) ? -first : first;
    // tanh = M / (M + 2) with M = e^2|x| - 1, which keeps full precision near 0.
    const scaledDd e = expCore(2.0 * ax, 0.0);
    const double scale = powerOfTwo(e.k);
    const dd s = twoSum(e.hi * scale, -1.0);
    const dd m = fastTwoSum(s.hi, s.lo + e.lo * scale);
    const dd d0 = twoSum(2.0, m.hi);
    const dd q = divide(m, dd{d0.hi, d0.lo + m.lo});
    const double t = q.hi + q.lo;
    return signOf(x) ? -t : t;
}

double atan(double x)
{
    const double ax = absOf(x);
    if (!(ax <= 0x1p64)) {   // pi/2 - 1/x rounds to pi/2
        if (x != x)
            return x + x;
        return signOf(x) ? -kPiBy2Hi : kPiBy2Hi;
    }
    if (ax < 0x1p-27)   // x^3/3 is below half an ulp of x
        return x;
    // atan(x) = pi/2 - atan(1/x) above 1; atan(y) = atan(c) + atan((y - c) / (1 + y c))
    // with c = i/128 nearest y.
    const bool flip = ax > 1.0;
    dd y = {ax, 0.0};
    if (flip) {
        const double h = 1.0 / ax;
        const dd p = twoProd(h, ax);
        y = {h, ((1.0 - p.hi) - p.lo) / ax};
    }
    const int i = static_cast<int>(y.hi * 128.0 + 0.5);
    dd t = y;
    if (i != 0) {
        const double c = i * (1.0 / 128);
        const dd n = twoSum(y.hi - c, y.lo);   // y.hi - c is exact
        const dd cp = twoProd(y.hi, c);
        const dd d0 = fastTwoSum(1.0, cp.hi);
        t = divide(n, dd{d0.hi, d0.lo + (cp.lo + y.lo * c)});
    }
    const double t2 = t.hi * t.hi;
    const double tail = t.hi * t2 * (-1.0 / 3 + t2 * (1.0 / 5 + t2 * (-1.0 / 7 + t2 * (1.0 / 9 + t2 * (-1.0 / 11)))));
    const dd s = fastTwoSum(kAtanTable[i][0], t.hi);
    const double lo = s.lo + (kAtanTable[i][1] + (t.lo - t2 * t.lo + tail));
    double r;
    if (flip) {
        const dd f = fastTwoSum(kPiBy2Hi, -s.hi);
        r = f.hi + ((f.lo + kPiBy2Lo) - lo);
    } else {
        r = s.hi + lo;
    }
    return signOf(x) ? -r : r;
}

double tan(double x)
{
    const double ax = absOf(x);
    if (!(ax < kInf))
        return x - x;   // NaN for infinities, NaN stays NaN
    if (ax < 0x1p-27)   // x^3/3 is below half an ulp of x
        return x;
    dd r = {ax, 0.0};
    bool odd = false;
    if (ax > 0.78539816339744828)
        r = reduceByHalfPi(ax, odd);
    const bool negative = r.hi < 0.0;
    if (negative)
        r = {-r.hi, -r.lo};
    // tan(r) = (T + tau) / (1 - T tau), T = tan(c), tau = tan(r - c), c = i/128.
    const int i = static_cast<int>(r.hi * 128.0 + 0.5);
    const double c = i * (1.0 / 128);
    const dd u = twoSum(r.hi - c, r.lo);   // r.hi - c is exact
    const double u2 = u.hi * u.hi;
    const double tail =
        u.hi * u2 * (1.0 / 3 + u2 * (2.0 / 15 + u2 * (17.0 / 315 + u2 * (62.0 / 2835 + u2 * (1382.0 / 155925)))));
    const dd tau = fastTwoSum(u.hi, u.lo + u2 * u.lo + tail);
    const double th = kTanTable[i][0];
    const double tl = kTanTable[i][1];
    const dd n0 = twoSum(th, tau.hi);
    const dd n = {n0.hi, n0.lo + (tl + tau.lo)};
    const dd p = twoProd(th, tau.hi);
    const dd d0 = twoSum(1.0, -p.hi);
    const dd d = {d0.hi, d0.lo - (p.lo + th * tau.lo + tl * tau.hi)};
    // An odd quotient of pi/2 turns tan into -1/tan.
    const dd q = odd ? divide(d, n) : divide(n, d);
    double t = q.hi + q.lo;
    if (odd)
        t = -t;
    return (negative != signOf(x)) ? -t : t;
}

}   // namespace portableMath
