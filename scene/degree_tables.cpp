#include "scene/degree_tables.h"

#include "image/portable_math.h"

namespace tessaro {

namespace {

// The rendered image depends on every bit of the tables, and the platforms'
// math libraries round sine and cosine differently: the portable functions
// give the correctly rounded values in every build.
DegreeTables ComputeTables() {
  DegreeTables tables{};
  for (int i = 0; i < 360; ++i) {
    const double angle = i * kDegreeTableStep;
    tables.sine[i] = PortableSin(angle);
    tables.cosine[i] = PortableCos(angle);
  }
  return tables;
}

}  // namespace

const DegreeTables& GetDegreeTables() {
  static const DegreeTables tables = ComputeTables();
  return tables;
}

}  // namespace tessaro
