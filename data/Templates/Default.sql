-- The template of a new database: an empty contacts table.
CREATE TABLE Contacts (
  ID INTEGER PRIMARY KEY,
  FirstName TEXT(50),
  LastName TEXT(50),
  Company TEXT(80),
  Address TEXT(255),
  City TEXT(50),
  State TEXT(50),
  PostalCode TEXT(20),
  Country TEXT(50),
  Phone TEXT(30),
  Fax TEXT(30),
  EMail TEXT(100)
);
