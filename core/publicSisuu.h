#pragma once
// The speed index U_sisuu and last-3F index U_sisuu3f of one run of the run table.

// Local-track run (h, r): reads T_sisuu and T_avetime on the given open connection slot.
// A failure shows "U_sisuu算出エラー(err-BA06)" (unless debug mode); the run keeps what it held then.
void calcUSisuu(int h, int r, int slot);
// Central-track run ("Ｊ" + name): opens jraGraph.dat on slot 2 itself and closes it on every path.
// Callers use it only while pd.jraGraphOn is set; a central file that cannot be opened is reported
// once and switches it off.
void calcUSisuuJra(int h, int r);

// The local index without the trap: throws VbError, for callers that report a failure once for
// many runs.
void computeUSisuu(int h, int r, int slot);
