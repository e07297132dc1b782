// Resource ids of the framework tests' own pages, shared by framework_test.rc and the tests.
#ifndef FRAMEWORK_TEST_RESOURCE_H
#define FRAMEWORK_TEST_RESOURCE_H

#define IDD_TEST_FIRST          200
#define IDD_TEST_SECOND         201
#define IDC_TEST_CHECK          100
#define IDC_TEST_EDIT           101
#define IDC_TEST_COMBO          102
#define IDC_TEST_MISSING        103     // on no page

#endif
