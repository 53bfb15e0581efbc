-- The template the Eudora address book import fills: one table of nicknames.
CREATE TABLE EUDORA (
  NickName TEXT(64),
  Email TEXT(255),
  FAX TEXT(64),
  Name TEXT(128),
  Phone TEXT(64),
  Address TEXT(255)
);
