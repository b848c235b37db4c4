-- Administration work file Rana.mdb (plain, no password).
-- Dates are stored as 'yyyy-mm-dd' text.

-- Stored prediction of each race of a batch run; taisyo is 'out' when a runner had no
-- predicted index, otherwise Null.
CREATE TABLE T_Rana (
    R_code TEXT NOT NULL,
    "R_ana(1)" REAL DEFAULT 0,
    "R_ana(2)" REAL DEFAULT 0,
    "R_ana(3)" REAL DEFAULT 0,
    "R_ana(4)" REAL DEFAULT 0,
    "R_ana(5)" REAL DEFAULT 0,
    "winRitu(1)" REAL DEFAULT 0,
    "winRitu(2)" REAL DEFAULT 0,
    "winRitu(3)" REAL DEFAULT 0,
    "winRitu(4)" REAL DEFAULT 0,
    "winRitu(5)" REAL DEFAULT 0,
    "renRitu(1)" REAL DEFAULT 0,
    "renRitu(2)" REAL DEFAULT 0,
    "renRitu(3)" REAL DEFAULT 0,
    "renRitu(4)" REAL DEFAULT 0,
    "renRitu(5)" REAL DEFAULT 0,
    taisyo TEXT,
    CONSTRAINT PrimaryKey PRIMARY KEY (R_code)
);

-- The race day of a local race code as "yymmdd" (characters 3 to 8).
CREATE VIEW Q_date AS
    SELECT T_Rana.*, substr(R_code, 3, 6) AS R_date FROM T_Rana;

-- Work table of the index evaluation, emptied at its start.
CREATE TABLE SisuuHyouka (
    name TEXT,
    Tar01Sisuu REAL DEFAULT 0,
    Tar02Sisuu REAL DEFAULT 0
);
