-- Comments database Comment.dat.
-- Dates are stored as 'yyyy-mm-dd' text.

-- R_code is a race code or 'Uma' (a horse's general comment); U_name a horse name or
-- 'Race' (the race's own comment).
CREATE TABLE Comment (
    R_code TEXT NOT NULL,
    U_name TEXT NOT NULL,
    comment TEXT,
    sign01 TEXT,
    sign02 TEXT,
    CONSTRAINT PrimaryKey PRIMARY KEY (R_code, U_name)
);
CREATE INDEX Comment_U_name ON Comment (U_name);
