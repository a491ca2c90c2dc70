// The benchmark's clock: the performance counter in milliseconds.
#pragma once

namespace bench {

double Now();

}  // namespace bench
