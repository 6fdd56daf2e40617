-- The schedule database "VN.dll": broadcast tasks, music list, music categories,
-- weekly time slots and resume positions. Times of day are stored as 'hh:nn:ss',
-- dates as 'yyyy-mm-dd', booleans as 0/1.

CREATE TABLE db (
  "no"        INTEGER PRIMARY KEY AUTOINCREMENT,
  "use"       BOOLEAN NOT NULL DEFAULT 0,
  filename    VARCHAR(100),
  filenameall VARCHAR(255),
  status      INTEGER DEFAULT 0,
  startime    TIME,
  endtime     TIME,
  backtime    TIME,
  nexttime    TIME,
  num         INTEGER DEFAULT 0,
  moreplay    BOOLEAN NOT NULL DEFAULT 0,
  bew         INTEGER DEFAULT 0,
  timel       VARCHAR(50),
  ptime       TIME,
  befrom      BOOLEAN NOT NULL DEFAULT 0,
  befromy     BOOLEAN NOT NULL DEFAULT 0,
  befromname  VARCHAR(255),
  befrompath  VARCHAR(255),
  stardate    DATE,
  enddate     DATE,
  week        VARCHAR(50)
);

CREATE TABLE music (
  id       INTEGER PRIMARY KEY AUTOINCREMENT,
  name     VARCHAR(200),
  namepath VARCHAR(254),
  status   INTEGER,
  jd       INTEGER,
  timel    VARCHAR(50)
);

CREATE TABLE musictype (
  id    INTEGER PRIMARY KEY AUTOINCREMENT,
  name  VARCHAR(100) UNIQUE,
  "sum" INTEGER DEFAULT 0
);

CREATE TABLE musictype_do (
  starttime TIME,
  endtime   TIME,
  week      VARCHAR(50),
  idset     INTEGER,
  idsetname VARCHAR(100)
);

CREATE TABLE music_Position (
  id         INTEGER,
  FileName   VARCHAR(254),
  "Position" INTEGER,
  idset      INTEGER
);

INSERT INTO musictype (id, name, "sum") VALUES (1, '所有音乐', 0);
