-- Local track information file Strevin_data.dat (also the template motofile.mdb);
-- T_sisuu and T_avetime come from trackTables.sql.
-- Dates are stored as 'yyyy-mm-dd' text.

-- Edition date of the file: one row, given with the standard times. A file without them (a new
-- set-up's) has no edition, so that the start page says the indices need a track file.
CREATE TABLE version (
    "date" TEXT
);

-- The local tracks in display order with their web codes.
CREATE TABLE MasterZyo (
    zyoCode TEXT,
    zyoNo INTEGER NOT NULL,
    zyoName TEXT,
    CONSTRAINT PrimaryKey PRIMARY KEY (zyoNo)
);

CREATE TABLE T_Kisyu (
    name TEXT NOT NULL,
    point REAL DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (name)
);

-- Draw ratio per course and gate group (0: gates 1-3, 1: 4-6, 2: 7-8).
CREATE TABLE T_waku (
    W_zyo TEXT NOT NULL,
    W_kyori INTEGER NOT NULL DEFAULT 0,
    W_waku INTEGER NOT NULL DEFAULT 0,
    W_kakeritu REAL DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (W_zyo, W_kyori, W_waku)
);
