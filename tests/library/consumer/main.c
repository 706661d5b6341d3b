/* A host written in plain C against the installed header and library. */
#include <stdio.h>

#include <cxfun.h>

int main(void) {
  const double a = -4.0, b = 0.0;
  double re = -1.0, im = -1.0;
  cxfun_sqrt(&a, &b, &re, &im);
  printf("%g %g\n", re, im);
  return 0;
}
