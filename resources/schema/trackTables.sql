-- T_sisuu and T_avetime, shared by every track information file and the work file CalSisuu.mdb.
-- Dates are stored as 'yyyy-mm-dd' text.

-- Track variant of each race day, track and surface (S_siba 1 turf, 0 dirt).
CREATE TABLE T_sisuu (
    S_date TEXT NOT NULL,
    S_zyo TEXT NOT NULL,
    S_siba INTEGER NOT NULL DEFAULT 0,
    S_sisuu REAL DEFAULT 0,
    S_baba INTEGER DEFAULT 0,
    S_taisyo INTEGER DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (S_date, S_zyo, S_siba)
);

-- Standard times; A_class 'ave' is the row valid for all classes.
CREATE TABLE T_avetime (
    A_zyo TEXT NOT NULL,
    A_kyori INTEGER NOT NULL DEFAULT 0,
    A_class TEXT NOT NULL,
    A_sin_kyu INTEGER NOT NULL DEFAULT 0,
    A_siba INTEGER NOT NULL DEFAULT 0,
    A_time REAL DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (A_zyo, A_kyori, A_class, A_sin_kyu, A_siba)
);
