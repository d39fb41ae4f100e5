#pragma once

/// True when today's local date matches every non-negative argument: day of
/// the month (1-31), month (1-12), full year. A negative argument matches all.
bool ControleDate(int jour, int mois, int annee);

/// Number of decimal digits of |v| (1 to 19; the sign is ignored).
int flgInt(long long v);

/// Index of the lowest set bit; -1 for 0.
int EnumToID_MIN(int v);

/// Index of the highest set bit; -1 for 0 (31 for a negative value).
int EnumToID_MAX(int v);

/// Logarithm of `valeur` in base `base` (no check of either argument).
double logN(double valeur, double base);
