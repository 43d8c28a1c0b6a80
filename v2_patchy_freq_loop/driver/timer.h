// CPU time of the process for the run-time report.
#pragma once

// CPU time (user + system, in single precision) in seconds since the
// previous call; `last` carries the remembered value from call to call and
// starts at 0. The difference is formed in single precision.
double timer(float& last);
