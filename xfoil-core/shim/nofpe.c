/* Preloaded into Debian's XFOIL, which is built to trap invalid and divide-by-zero
 * floating-point operations. Its plot code, which runs after every analysed angle even
 * with graphics switched off, computes with never-initialised values and would end the
 * process with SIGFPE. This empty definition replaces the runtime call that enables the
 * traps, so those values silently become NaN and nothing is drawn. */
void _gfortran_set_fpe(int flags) { (void)flags; }
