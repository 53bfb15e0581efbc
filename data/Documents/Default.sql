-- The database of the default workspace: invented contacts (addresses on the
-- example domains only), a few without an address or with a malformed one.
-- Flags hold -1 (true) and 0 (false); dates are stored as yyyy-mm-dd text.
BEGIN;
CREATE TABLE Contacts (
  ID INTEGER PRIMARY KEY,
  FirstName TEXT(50),
  LastName TEXT(50),
  EMail TEXT(100),
  Company TEXT(80),
  City TEXT(50),
  Age INTEGER,
  JoinDate DATETIME,
  Subscribed BOOLEAN
);
INSERT INTO Contacts VALUES (1, 'Ada', 'Albers', 'ada.albers@example.com', 'Northwind Trading', 'Bergen', 21, '2015-01-01', -1);
INSERT INTO Contacts VALUES (2, 'Bruno', 'Brandt', 'bruno.brandt@example.org', 'Delta Print', 'Utrecht', 28, '2016-06-12', -1);
INSERT INTO Contacts VALUES (3, 'Clara', 'Castell', 'clara.castell@example.net', 'Granite Works', 'Porto', 35, '2017-11-23', 0);
INSERT INTO Contacts VALUES (4, 'Dmitri', 'Dorn', 'dmitri.dorn@example.com', 'Cedar & Sons', 'Cork', 42, '2018-04-06', -1);
INSERT INTO Contacts VALUES (5, 'Elena', 'Eklund', 'elena.eklund@example.org', 'Foxglove Studio', 'Tampere', 49, '2019-09-17', -1);
INSERT INTO Contacts VALUES (6, 'Farid', 'Falk', 'farid.falk@example.net', 'Blue Harbor Ltd', 'Lyon', 56, '2020-02-28', 0);
INSERT INTO Contacts VALUES (7, 'Greta', 'Grau', 'greta.grau@example.com', 'Evergreen Foods', 'Brno', 63, '2021-07-11', -1);
INSERT INTO Contacts VALUES (8, 'Hugo', 'Holm', NULL, 'Northwind Trading', 'Graz', 25, '2022-12-22', -1);
INSERT INTO Contacts VALUES (9, 'Ines', 'Ivanova', 'ines.ivanova@example.net', 'Delta Print', 'Bergen', 32, '2023-05-05', 0);
INSERT INTO Contacts VALUES (10, 'Jonas', 'Jansen', 'jonas.jansen@example.com', 'Granite Works', 'Utrecht', 39, '2015-10-16', -1);
INSERT INTO Contacts VALUES (11, 'Kira', 'Keller', 'kira.keller@example.org', 'Cedar & Sons', 'Porto', 46, '2016-03-27', -1);
INSERT INTO Contacts VALUES (12, 'Lars', 'Lund', 'lars.lund.example.net', 'Foxglove Studio', 'Cork', 53, '2017-08-10', 0);
INSERT INTO Contacts VALUES (13, 'Maya', 'Moreau', 'maya.moreau@example.com', 'Blue Harbor Ltd', 'Tampere', 60, '2018-01-21', -1);
INSERT INTO Contacts VALUES (14, 'Nils', 'Nyberg', 'nils.nyberg@example.org', 'Evergreen Foods', 'Lyon', 22, '2019-06-04', -1);
INSERT INTO Contacts VALUES (15, 'Olga', 'Ortiz', 'olga.ortiz@example.net', 'Northwind Trading', 'Brno', 29, '2020-11-15', 0);
INSERT INTO Contacts VALUES (16, 'Pavel', 'Petrov', '', 'Delta Print', 'Graz', 36, '2021-04-26', -1);
INSERT INTO Contacts VALUES (17, 'Quinn', 'Quast', 'quinn.quast@example.org', 'Granite Works', 'Bergen', 43, '2022-09-09', -1);
INSERT INTO Contacts VALUES (18, 'Rosa', 'Rossi', 'rosa.rossi@example.net', 'Cedar & Sons', 'Utrecht', 50, '2023-02-20', 0);
INSERT INTO Contacts VALUES (19, 'Stefan', 'Sauer', 'stefan.sauer@example.com', 'Foxglove Studio', 'Porto', 57, '2015-07-03', -1);
INSERT INTO Contacts VALUES (20, 'Tara', 'Thiel', 'tara.thiel@example.org', 'Blue Harbor Ltd', 'Cork', 64, '2016-12-14', -1);
INSERT INTO Contacts VALUES (21, 'Ulrich', 'Urban', 'ulrich.urban@example.net', 'Evergreen Foods', 'Tampere', 26, '2017-05-25', 0);
INSERT INTO Contacts VALUES (22, 'Vera', 'Vogt', 'vera.vogt@example.com', 'Northwind Trading', 'Lyon', 33, '2018-10-08', -1);
INSERT INTO Contacts VALUES (23, 'Wim', 'Weber', 'wim.weber@example.org', 'Delta Print', 'Brno', 40, '2019-03-19', -1);
INSERT INTO Contacts VALUES (24, 'Xenia', 'Xu', NULL, 'Granite Works', 'Graz', 47, '2020-08-02', 0);
INSERT INTO Contacts VALUES (25, 'Yusuf', 'Yilmaz', 'yusuf.yilmaz@example.com', 'Cedar & Sons', 'Bergen', 54, '2021-01-13', -1);
INSERT INTO Contacts VALUES (26, 'Zoe', 'Zeller', 'zoe.zeller@example.org', 'Foxglove Studio', 'Utrecht', 61, '2022-06-24', -1);
INSERT INTO Contacts VALUES (27, 'Amelie', 'Arnold', 'amelie.arnold@example.net', 'Blue Harbor Ltd', 'Porto', 23, '2023-11-07', 0);
INSERT INTO Contacts VALUES (28, 'Bastian', 'Berg', 'bastian.berg@example.com', 'Evergreen Foods', 'Cork', 30, '2015-04-18', -1);
INSERT INTO Contacts VALUES (29, 'Chiara', 'Corte', 'chiara.corte@example.org', 'Northwind Trading', 'Tampere', 37, '2016-09-01', -1);
INSERT INTO Contacts VALUES (30, 'Dario', 'Dahl', 'dario@@example.net', 'Delta Print', 'Lyon', 44, '2017-02-12', 0);
INSERT INTO Contacts VALUES (31, 'Emil', 'Engel', 'emil.engel@example.com', 'Granite Works', 'Brno', 51, '2018-07-23', -1);
INSERT INTO Contacts VALUES (32, 'Frida', 'Fuchs', 'frida.fuchs@example.org', 'Cedar & Sons', 'Graz', 58, '2019-12-06', -1);
INSERT INTO Contacts VALUES (33, 'Gustav', 'Gerber', 'gustav.gerber@example.net', 'Foxglove Studio', 'Bergen', 65, '2020-05-17', 0);
INSERT INTO Contacts VALUES (34, 'Hanna', 'Haas', 'hanna.haas@example.com', 'Blue Harbor Ltd', 'Utrecht', 27, '2021-10-28', -1);
INSERT INTO Contacts VALUES (35, 'Ivo', 'Iversen', 'ivo.iversen@example.org', 'Evergreen Foods', 'Porto', 34, '2022-03-11', -1);
INSERT INTO Contacts VALUES (36, 'Julia', 'Jung', 'julia.jung@example.net', 'Northwind Trading', 'Cork', 41, '2023-08-22', 0);
INSERT INTO Contacts VALUES (37, 'Kasper', 'Kraus', 'kasper.kraus@example.com', 'Delta Print', 'Tampere', 48, '2015-01-05', -1);
INSERT INTO Contacts VALUES (38, 'Lena', 'Lang', 'lena.lang@example.org', 'Granite Works', 'Lyon', 55, '2016-06-16', -1);
INSERT INTO Contacts VALUES (39, 'Mats', 'Marx', '', 'Cedar & Sons', 'Brno', 62, '2017-11-27', 0);
INSERT INTO Contacts VALUES (40, 'Nora', 'Novak', 'nora.novak@example.com', 'Foxglove Studio', 'Graz', 24, '2018-04-10', -1);
INSERT INTO Contacts VALUES (41, 'Oskar', 'Olsen', 'oskar.olsen@example.org', 'Blue Harbor Ltd', 'Bergen', 31, '2019-09-21', -1);
INSERT INTO Contacts VALUES (42, 'Petra', 'Pohl', 'petra.pohl@example.net', 'Evergreen Foods', 'Utrecht', 38, '2020-02-04', 0);
INSERT INTO Contacts VALUES (43, 'Raul', 'Roth', 'raul.roth@example.com', 'Northwind Trading', 'Porto', 45, '2021-07-15', -1);
INSERT INTO Contacts VALUES (44, 'Sofia', 'Stein', 'sofia.stein@example.org', 'Delta Print', 'Cork', 52, '2022-12-26', -1);
INSERT INTO Contacts VALUES (45, 'Theo', 'Tamm', 'theo tamm@example.net', 'Granite Works', 'Tampere', 59, '2023-05-09', 0);
INSERT INTO Contacts VALUES (46, 'Una', 'Ulm', 'una.ulm@example.com', 'Cedar & Sons', 'Lyon', 21, '2015-10-20', -1);
INSERT INTO Contacts VALUES (47, 'Viktor', 'Voss', 'viktor.voss@example.org', 'Foxglove Studio', 'Brno', 28, '2016-03-03', -1);
INSERT INTO Contacts VALUES (48, 'Wanda', 'Wolf', 'wanda.wolf@example.net', 'Blue Harbor Ltd', 'Graz', 35, '2017-08-14', 0);
INSERT INTO Contacts VALUES (49, 'Yara', 'Young', 'yara.young@example.com', 'Evergreen Foods', 'Bergen', 42, '2018-01-25', -1);
INSERT INTO Contacts VALUES (50, 'Zeno', 'Ziegler', 'zeno.ziegler@example.org', 'Northwind Trading', 'Utrecht', 49, '2019-06-08', -1);
CREATE VIEW Subscribers AS
  SELECT FirstName, LastName, EMail, Company, City FROM Contacts WHERE Subscribed <> 0 ORDER BY LastName;
COMMIT;
